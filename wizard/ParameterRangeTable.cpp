#include "wizard/ParameterRangeTable.h"

namespace {

const ParameterRange kRanges[] = {
    {0x05, 0, 3, false},
    {0x06, 0, 2, false},
    {0x10, 1, 2000, false},
    {0x11, 1, 3500, false},
    {0x12, 1, 1000, false},
    {0x13, 0, 5, false},
    {0x14, 25, 2500, false},
    {0x15, 0, 1500, false},
    {0x16, 0, 6400, false},
    {0x1D, 50, 1600, false},
    {0x1E, 0, 4, false},
    {0x20, 0, 10000, false},
    {0x28, 100, 1500, false},
    {0x29, 0, 4, false},
    {0x2A, 0, 99, false},
    {0x40, 0, 1, false},
    {0x41, 0, 1, false},
    {0x42, 0, 3, false},
    {0x44, 0, 255, false},
    {0x45, 0, 1, false},
    {0x46, 1, 10000, false},
    {0x48, 0, 3, false},
    {0x4B, 1, 10000, false},
    {0x4C, 0, 7, false},
    {0x4E, 1, 9999, false},
    {0x4F, 1, 255, false},
    {0x50, 10, 2000, false},
    {0x51, 0, 1, false},
    {0x52, -2047, 2047, true},
    {0x53, -10000, 10000, true},
    {0x54, -10000, 10000, true},
    {0x55, -10000, 10000, true},
    {0x56, -10000, 10000, true},
    {0x58, 0, 10000, false},
    {0x59, 0, 10000, false},
    {0x5A, 0, 1000, false},
    {0x5C, 10, 100, false},
    {0x5D, 0, 1, false},
    {0x74, -10000, 10000, true},
    {0x75, -10000, 10000, true},
    {0x76, -10000, 10000, true},
    {0x77, -10000, 10000, true},
};

}  // namespace

const ParameterRange* FindParameterRange(uint8_t parameter)
{
    for (const ParameterRange& range : kRanges)
        if (range.parameter == parameter)
            return &range;
    return nullptr;
}

bool AcceptsParameterValue(uint8_t parameter, uint16_t value)
{
    const ParameterRange* range = FindParameterRange(parameter);
    if (!range)
        return false;
    const int32_t compared = range->isSigned ? static_cast<int16_t>(value) : value;
    return compared >= range->min && compared <= range->max;
}
