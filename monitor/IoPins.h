#pragma once
// The drive's digital pins as the I/O monitor lists them: pin number,
// signal name and function text per bit of the coil bytes, and the two
// pulse sums.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct IoPin {
    int bit;             // bit of the coil bytes read
    int pin;             // connector pin number
    const char* signal;  // "CW-LIMIT"
    unsigned textId;     // function text
};

// Inputs from coils 32-42 (bit 2, coil 34, is read but not listed), and
// outputs from coils 0-5.
extern const std::array<IoPin, 10> kInputPins;
extern const std::array<IoPin, 6> kOutputPins;

// 18 characters: the pin number right-aligned in five, two blanks, the
// signal left-aligned in eleven.
std::string PinLabel(const IoPin& pin);
// "Act Pin  Define \n", an empty line, then per pin " V" (bit set) or two
// blanks, its label, its function text and a line feed.
std::string PinListText(const IoPin* pins, size_t count, uint16_t bits);
template <size_t N>
std::string PinListText(const std::array<IoPin, N>& pins, uint16_t bits)
{
    return PinListText(pins.data(), N, bits);
}

// A signed 32-bit sum from its two registers, low word first.
int32_t PulseSum(uint16_t lowWord, uint16_t highWord);
