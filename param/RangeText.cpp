#include "param/RangeText.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

RangeLimits ParseRangeText(const std::string& range)
{
    const std::string text = range + std::string(12, ' ');
    RangeLimits limits;
    bool negative = false;
    for (int i = 0; i <= 4; ++i)
        negative = negative || text[i] == '-';
    // Fixed places; a blank or any other character counts 0.
    static const int kWeights[5] = {10000, 1000, 100, 10, 1};
    for (int i = 0; i < 5; ++i)
        if (isDigit(text[1 + i]))
            limits.minimum += (text[1 + i] - '0') * kWeights[i];
    if (negative)
        limits.minimum = -limits.minimum;
    // The maximum: an optional sign and up to five digits from character 7.
    size_t i = 7;
    const bool maxNegative = text[i] == '-';
    if (maxNegative)
        ++i;
    for (int digits = 0; digits < 5 && isDigit(text[i]); ++digits, ++i)
        limits.maximum = limits.maximum * 10 + (text[i] - '0');
    if (maxNegative)
        limits.maximum = -limits.maximum;
    return limits;
}

bool ValueInRange(int32_t value, const std::string& range, bool engineerMode)
{
    if (engineerMode)
        return value >= -32768 && value <= 32767;
    const RangeLimits limits = ParseRangeText(range);
    return value >= limits.minimum && value <= limits.maximum;
}
