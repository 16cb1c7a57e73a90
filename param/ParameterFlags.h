#pragma once
// The per-parameter flags a system-initialisation file may carry in INI
// sections among its lines: section "Setup", key "FileVersion"; then one
// section per parameter ("Par0x1f") with "Reboot", "Permanentlcd",
// "ModeBit" and "Autotunelcd". Only file version "1.0.0" makes them valid.

#include "param/ParameterNumbers.h"

#include <array>
#include <cstdint>
#include <string>

struct ParameterFlag {
    int reboot = 1;          // non-zero: takes effect after a restart
    int permanentLocked = 1; // non-zero: unused, refused outside engineer mode
    uint8_t modeBits = 0;    // bit 0 position, bit 1 velocity, bit 2 torque
    int autotuneLocked = 0;  // non-zero: refused while Pr.21 is on
};

struct ParameterFlagsTable {
    // Index among the known versions ("0.0.0", "1.0.0"); -1 for another.
    int versionIndex = 0;
    std::array<ParameterFlag, kParameterCount> flags{};
    bool valid() const { return versionIndex == 1; }
};

// Reads the flags of a system-initialisation file. A missing file, or one
// beyond the format's limits, reads as version "0.0.0" (no flags).
ParameterFlagsTable ReadParameterFlags(const std::string& somPath);
// The section name of a parameter: "Par0x1f".
std::string ParameterFlagSection(int parameter);
