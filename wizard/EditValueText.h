#pragma once
// Turns what a person typed into a wizard dialog's edit box into the 16-bit
// register value to send: leading blanks, an optional sign, then the digits
// up to the first other character, as a decimal number.

#include <cstdint>
#include <optional>
#include <string>

// The register value (the low 16 bits of the number), or nothing when the
// text holds no digits or a number that does not fit in 16 bits
// (-32768 to 65535), so a typing slip is refused instead of being written
// as some other value.
std::optional<uint16_t> ParseEditValue(const std::string& text);
