#pragma once
// Reading the drive's current alarm and its history of 16 records, and what
// the alarm list shows of them.

#include <array>
#include <cstdint>
#include <string>

constexpr uint16_t kAlarmRegister = 899;  // the current code; 900-915 the history
constexpr int kAlarmHistoryLength = 16;

struct AlarmReadout {
    uint8_t current = 0;
    std::array<uint8_t, kAlarmHistoryLength> history{};  // record 1 (newest) first
};

// One read of 17 registers from 899 (200 ms, 1 retry), the scope's stream
// paused around it; the low byte of each is the code. False on failure.
bool ReadAlarms(AlarmReadout& out);

// "Record 1" ... "Record 16".
std::string AlarmRecordLabel(int record);
