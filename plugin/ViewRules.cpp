#include "plugin/ViewRules.h"

#include "plugin/CommStep.h"

#include <algorithm>
#include <cstdio>

namespace waypad {

ControlEnabling EnablingFor(bool linkUp, int32_t mode, bool extended)
{
    ControlEnabling e;
    if (!linkUp)
        return e;
    const bool positionMode = mode == 0 || mode == 1;
    e.read = e.write = e.servo = positionMode || mode == 7;
    e.homingSetup = e.read && extended;
    e.run = e.getPoint = e.setPoint = positionMode;
    e.gotoAbs = mode == 0;
    e.gotoRel = mode == 1;
    return e;
}

std::string ActiveModeName(int32_t mode)
{
    static const char* const names[] = {"WaypadHost_ABS", "WaypadHost_REL", "PULSE", "VELOCITY",
                                        "TORQUE", "AUXILIARY", "AUTOGAIN", "WaypadHost_Index"};
    return mode >= 0 && mode <= 7 ? names[mode] : std::to_string(mode);
}

std::string ActiveModeLabel(const std::string& prefix, int32_t mode)
{
    return prefix + " " + ActiveModeName(mode);
}

void CorrectFirstLast(int previousFirst, int previousLast, int& first, int& last)
{
    if (first != previousFirst && first >= last)
        last = first;
    if (last != previousLast && first >= last)
        first = last;
}

std::string FinishedStepMessage(int32_t step, int32_t result)
{
    if (step == CS_WriteAllParms + 1)
        return result == kResultSuccess ? "Write data success." : "Write data failed.";
    if (result != kResultFailure)
        return "";
    switch (step) {
    case CS_ReadAllParms + 1: return "Read data failed.";
    case CS_ServoOnOff + 1: return "Write ServoOn/Off data failed.";
    case CS_GotoABS_PulsePos + 1:
    case CS_GotoREL_PulsePos + 1: return "Write target pulse position failed.";
    case CS_ServoOnOff_2 + 1: return "Write ServoOn/Off (2) data failed.";
    case CS_Homing + 1: return "Write Homing data failed.";
    case CS_ZeroHomeOffsetRef + 1: return "Write Zero HomeOffsetRef data failed.";
    case CS_JogSpeed + 1: return "Write JogSpeed data failed.";
    default: return "";
    }
}

std::string DriveStatusText(int32_t index)
{
    static const char* const texts[] = {"Not Ready.", "Ready.", "Homing...", "At home.", "Moving...",
                                        "On target position."};
    return texts[std::clamp(index, 0, 5)];
}

}  // namespace waypad
