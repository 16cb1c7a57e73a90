#pragma once
// The values the wizard dialogs accept for each parameter they edit, checked
// before anything is sent. A parameter without an entry is always refused.

#include <cstdint>

struct ParameterRange {
    uint8_t parameter;
    int32_t min;  // inclusive
    int32_t max;  // inclusive
    bool isSigned;  // compare the 16-bit value as signed; otherwise as unsigned
};

// The entry of a parameter, or nullptr when the wizards do not edit it.
const ParameterRange* FindParameterRange(uint8_t parameter);
// True when the 16-bit register value lies inside the parameter's range.
bool AcceptsParameterValue(uint8_t parameter, uint16_t value);
