#pragma once
// Reads a whole token as a bounded integer, for option values and the
// EEPROM file alike: anything but digits (and the base's prefix) fails.

#include <cerrno>
#include <cstdlib>
#include <string>

namespace drivesim {

// Base 0 also takes "0x" hexadecimal; base 10 is decimal only.
inline bool ParseLong(const std::string& text, long min, long max, int base, long& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, base);
    if (errno != 0 || *end != '\0' || value < min || value > max)
        return false;
    out = value;
    return true;
}

}  // namespace drivesim
