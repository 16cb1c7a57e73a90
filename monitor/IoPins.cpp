#include "monitor/IoPins.h"

#include "texts/LoadText.h"

#include <cstdio>

const std::array<IoPin, 10> kInputPins = {{
    {0, 8, "CW-LIMIT", 369},
    {1, 9, "CCW-LIMIT", 370},
    {3, 26, "ZERO-SPD", 371},
    {4, 27, "GAIN", 372},
    {5, 28, "DIV", 373},
    {6, 29, "SVO-ON", 374},
    {7, 30, "CLR", 375},
    {8, 31, "ALM-CLR", 376},
    {9, 32, "C-MODE", 377},
    {10, 33, "PULS-INH", 378},
}};

const std::array<IoPin, 6> kOutputPins = {{
    {0, 11, "BK-OFF", 379},
    {1, 12, "ZSP", 380},
    {2, 35, "SVO-RDY", 381},
    {3, 37, "SVO-ALM", 382},
    {4, 39, "ON-POS", 383},
    {5, 40, "TLC", 384},
}};

std::string PinLabel(const IoPin& pin)
{
    char label[32];
    std::snprintf(label, sizeof label, "%5d  %-11s", pin.pin, pin.signal);
    return label;
}

std::string PinListText(const IoPin* pins, size_t count, uint16_t bits)
{
    std::string text = "Act Pin  Define \n\n";
    for (size_t i = 0; i < count; ++i) {
        text += (bits >> pins[i].bit) & 1 ? " V" : "  ";
        text += PinLabel(pins[i]) + LoadText(pins[i].textId) + "\n";
    }
    return text;
}

int32_t PulseSum(uint16_t lowWord, uint16_t highWord)
{
    return static_cast<int32_t>(static_cast<uint32_t>(highWord) << 16 | lowWord);
}
