#pragma once
// Readable hex for tests: hex("01 03 02 00 05") gives those five bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;

// Pairs of hex digits, separated by any whitespace (or none). A malformed
// string throws std::invalid_argument so a typo in a test cannot pass quietly.
Bytes hex(const std::string& text);
// The bytes as "01 03 02 00 05" (upper case, single spaces, no trailing space).
std::string toHex(const Bytes& bytes);
// The bytes of an ASCII text, and two byte strings one after the other.
inline Bytes ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }
inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// A frame with its Modbus CRC appended: withCrc(hex("01 03 00 00 00 01")).
Bytes withCrc(Bytes frame);

}  // namespace testsupport
