#include "wizard/PulseInputTypes.h"

namespace {
// Pr.42 written for the three types of each direction.
const uint16_t kModeOfType[3] = {0, 1, 3};
}  // namespace

PulseInputType PulseInputTypeValues(int type)
{
    if (type < 0 || type >= kPulseInputTypeCount)
        return {0xFFFF, 0xFFFF};  // outside every range: refused, never written
    return {static_cast<uint16_t>(type / 3), kModeOfType[type % 3]};
}

int PulseInputTypeOf(uint16_t pr41, uint16_t pr42)
{
    if (pr41 > 1)
        return -1;
    const int base = pr41 * 3;
    switch (pr42) {
    case 0:
    case 2: return base;
    case 1: return base + 1;
    case 3: return base + 2;
    default: return -1;
    }
}
