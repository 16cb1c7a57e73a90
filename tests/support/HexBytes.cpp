#include "HexBytes.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace testsupport {

namespace {
int nibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

Bytes hex(const std::string& text) {
    Bytes out;
    int high = -1;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (high >= 0) throw std::invalid_argument("odd hex digit in: " + text);
            continue;
        }
        int v = nibble(c);
        if (v < 0) throw std::invalid_argument("not hex: " + text);
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0) throw std::invalid_argument("odd hex digit in: " + text);
    return out;
}

std::string toHex(const Bytes& bytes) {
    std::string out;
    char cell[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(cell, sizeof cell, "%02X", bytes[i]);
        if (i) out += ' ';
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
