#pragma once
// Reads a whole token as a bounded integer, for option values and the
// EEPROM file alike: anything but digits (and the hex prefix) fails.

#include <cerrno>
#include <cstdlib>
#include <string>

namespace drivesim {

// Decimal, with an optional minus sign; with `allowHex`, "0x" or "0X"
// followed by hexadecimal digits too. A leading zero is still decimal:
// strtol's base 0 would read "010" as octal 8.
inline bool ParseLong(const std::string& text, long min, long max, bool allowHex, long& out)
{
    const bool hex = allowHex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const size_t first = (!hex && !digits.empty() && digits[0] == '-') ? 1 : 0;
    if (digits.size() <= first)
        return false;
    for (size_t i = first; i < digits.size(); ++i) {
        const char c = digits[i];
        const bool ok = (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!ok)
            return false;  // also blanks and a second sign, which strtol would skip or take
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || value < min || value > max)
        return false;
    out = value;
    return true;
}

}  // namespace drivesim
