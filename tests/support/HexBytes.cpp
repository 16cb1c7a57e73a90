#include "HexBytes.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace testsupport {

Bytes hex(const std::string& text) {
    Bytes out;
    int high = -1;  // the first digit of a pair, while the second is awaited
    for (unsigned char c : text + ' ') {
        if (std::isspace(c) && high >= 0) throw std::invalid_argument("odd hex digit in: " + text);
        if (std::isspace(c)) continue;
        if (!std::isxdigit(c)) throw std::invalid_argument("not hex: " + text);
        const int digit = std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) { high = digit; continue; }
        out.push_back(static_cast<uint8_t>(high << 4 | digit));
        high = -1;
    }
    return out;
}

std::string toHex(const Bytes& bytes) {
    std::string out;
    char cell[5];
    for (uint8_t b : bytes) {
        std::snprintf(cell, sizeof cell, out.empty() ? "%02X" : " %02X", b);
        out += cell;
    }
    return out;
}

// Bit by bit, not the table form of the library, so tests check the library
// against an independent computation.
Bytes withCrc(Bytes frame) {
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : frame) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

}  // namespace testsupport
