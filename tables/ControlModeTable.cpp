#include "tables/ControlModeTable.h"

namespace {
const char* const kControlModeNames[kControlModeCount] = {
    "Position Control Mode",
    "Velocity Control Mode",
    "Torque Control Mode",
    "Position/Velocity Control Mode",
    "Position/Torque Control Mode",
    "Velocity/Torque Control Mode",
    "WaypadHost_ABS",
    "WaypadHost_REL",
    "WaypadHost_Index",
};
}  // namespace

std::string ControlModeName(int value)
{
    if (value < 0 || value >= kControlModeCount)
        return "------------";
    return kControlModeNames[value];
}

bool IsInternalPositionMode(int value)
{
    return value >= kFirstInternalPositionMode && value < kControlModeCount;
}

