#pragma once
// The range check of a new parameter value against the row's "Setting
// range" text, laid out as: character 0 "-" (negative minimum) or blank,
// characters 1-5 the minimum right-aligned, character 6 "~", the maximum
// from character 7 to the next blank ("-10000~10000   ", "    1~2000     ").

#include <cstdint>
#include <string>

struct RangeLimits {
    int32_t minimum = 0;
    int32_t maximum = 0;
};

RangeLimits ParseRangeText(const std::string& range);
// Engineer mode lifts the row's range: any 16-bit value passes.
bool ValueInRange(int32_t value, const std::string& range, bool engineerMode);
