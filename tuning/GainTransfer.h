#pragma once
// The manual estimate's exchanges with the drive: the five gains sent and
// read one register at a time, and the check that an EEPROM save took.

#include "tuning/GainEstimate.h"

#include <array>
#include <cstdint>
#include <functional>

using GainValues = std::array<uint16_t, kGainRowCount>;
// Told the row that has just been written or read.
using RowDone = std::function<void(int row)>;

// Writes Pr.10, 11, 12, 14 and 20 in that order (100 ms wait each) and
// stops at the first failure. Returns the failing row, or -1.
int TransferGains(const GainValues& values, const RowDone& written = {});
// Reads them one at a time (200 ms, 1 retry). Returns the failing row, or -1.
int ReadGains(GainValues& values, const RowDone& read = {});

constexpr uint16_t kEepromSaveRegister = 0x0081;
// After the command-wait loop: a class-0 drive is trusted when it accepted
// the command; the others must read 1 back from the save register.
bool EepromSaveConfirmed(int driveClass, bool commandAccepted);
