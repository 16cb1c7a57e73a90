#pragma once
// The six command-pulse input types offered for Pr.41 (rotational direction)
// and Pr.42 (input mode): each type is one pair of the two values.

#include <cstdint>

constexpr int kPulseInputTypeCount = 6;

struct PulseInputType {
    uint16_t pr41;
    uint16_t pr42;
};

// The values written for type 0..5 ("Type 1" to "Type 6").
PulseInputType PulseInputTypeValues(int type);
// The type a drive's values select, or -1 when they match none. Pr.42 = 2
// counts as 0: both mean the same pulse form.
int PulseInputTypeOf(uint16_t pr41, uint16_t pr42);
