#pragma once
// Reading the values of drivara-cli's arguments: ports, rates, stations,
// parameter numbers, register values and plain numbers. Each returns false
// for a value it cannot take.

#include <cstdint>
#include <string>
#include <vector>

// "COM3", "com 3", "COM03": a number 1-16 of the port table. A value that
// starts with "/" is a device path instead.
struct PortChoice {
    int com = 0;             // 0 when a device path is given
    std::string devicePath;  // empty when a COM number is given
};
bool ParsePortOption(const std::string& text, PortChoice& port);

// "auto" (every rate, fastest first) or one of the drive's four rates: the
// baud indices to try, in order.
bool ParseBaudOption(const std::string& text, std::vector<int>& baudIndices);
// "auto" (0: a scan) or a station 1-255.
bool ParseStationOption(const std::string& text, int& stationRow);

// "Pr.10", "pr1f", "PR.7F" or "0x10" (hexadecimal, as the drive numbers its
// parameters): 0-127. Plain digits are refused: "10" could mean Pr.0A.
bool ParseParameterNumber(const std::string& text, int& parameter);
// A signed decimal, or 0x hexadecimal, that one 16-bit register holds as a
// signed number (0x8000-0xFFFF stand for the negative values).
bool ParseRegisterValue(const std::string& text, int32_t& value);

// A whole decimal number from `minimum` to `maximum`.
bool ParseNumberInRange(const std::string& text, long minimum, long maximum, long& value);

// The parameter as the drive's documents write it: "Pr.1F".
std::string ParameterName(int parameter);
