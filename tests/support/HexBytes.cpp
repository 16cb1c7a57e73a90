#include "HexBytes.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace testsupport {

Bytes hex(const std::string& text) {
    Bytes out;
    std::string digits;
    for (size_t i = 0; i <= text.size(); ++i) {
        const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
        if (std::isxdigit(c)) {
            digits += static_cast<char>(c);
            if (digits.size() < 2) continue;
            out.push_back(static_cast<uint8_t>(std::stoul(digits, nullptr, 16)));
            digits.clear();
        } else if (!std::isspace(c)) {
            throw std::invalid_argument("not hex: " + text);
        } else if (!digits.empty()) {
            throw std::invalid_argument("odd hex digit in: " + text);
        }
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
