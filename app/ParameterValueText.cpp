#include "app/ParameterValueText.h"

#include <cctype>
#include <cstdio>
#include <limits>

bool IsSigned16Parameter(uint8_t p)
{
    return p == 0x2A || p == 0x2B || (p >= 0x52 && p <= 0x56) || (p >= 0x74 && p <= 0x77);
}

std::string ParameterValueText(uint8_t parameter, int32_t value)
{
    const long shown = IsSigned16Parameter(parameter)
                           ? static_cast<long>(static_cast<int16_t>(value & 0xFFFF))
                           : static_cast<long>(value);
    return std::to_string(shown);
}

std::string ParameterNumberText(uint8_t parameter)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(parameter));
    return text;
}

int32_t ParseLeadingDecimal(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                   : int64_t(std::numeric_limits<int32_t>::max());
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            value = limit;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

ParameterDialogIo& ParameterDialogExchange()
{
    static ParameterDialogIo io;
    return io;
}
