#include "wizard/EditValueText.h"

#include <cctype>

std::optional<uint16_t> ParseEditValue(const std::string& text)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const size_t firstDigit = at;
    int64_t magnitude = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > 65535)
            return std::nullopt;  // stop before a long digit run overflows
    }
    if (at == firstDigit)
        return std::nullopt;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < -32768)
        return std::nullopt;
    return static_cast<uint16_t>(value & 0xFFFF);
}
