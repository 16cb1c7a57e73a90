#pragma once
// The drive's 128 parameters Pr.00-Pr.7F (parameter NN is holding register
// NN) and the command registers the parameter page uses beside them.

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

constexpr int kParameterCount = 128;
using ParameterSet = std::bitset<kParameterCount>;
using ParameterValues = std::array<int32_t, kParameterCount>;

constexpr int kStationParameter = 0x00;
constexpr int kControlModeParameter = 0x02;
constexpr int kRestartNoticeParameter = 0x04;  // has a warning text of its own
constexpr int kModelCodeParameter = 0x1F;
constexpr int kRealtimeTuningParameter = 0x21;
constexpr uint8_t kEepromSaveRegister = 0x81;    // write 1: RAM to EEPROM
constexpr uint8_t kFactoryResetRegister = 0x82;  // write 1: factory values

// Two upper-case hexadecimal digits: "0A", "4E".
std::string ParameterHex(int parameter);
// Parses a list such as "00 05-06 0B" (hex numbers and ranges, blank
// separated) into a set; anything else in the list is a programming error.
ParameterSet ParseParameterList(const char* list);
// True for a value one 16-bit register holds as a signed number.
inline bool FitsRegister(int64_t value) { return value >= -32768 && value <= 32767; }
