#include "app/ToolBoxRules.h"

ToolBoxLayout ToolBoxLayoutFor(int onlineFlag, int driveClass)
{
    ToolBoxLayout layout;
    if (onlineFlag == 0) {
        layout[ToolBoxButton::AlarmList].enabled = false;
        layout[ToolBoxButton::IoMonitor].enabled = false;
        layout[ToolBoxButton::BlockDiagram].enabled = false;
    }
    if (driveClass == 0) {
        layout[ToolBoxButton::AlarmList].enabled = false;
        layout[ToolBoxButton::IoMonitor].enabled = false;
    }
    if (driveClass == 0 || driveClass == 1)
        layout[ToolBoxButton::WaveScope].visible = false;
    if (driveClass < 3 || driveClass > 5)
        layout[ToolBoxButton::Waystation].visible = false;
    return layout;
}

unsigned ToolBoxButtonTextId(ToolBoxButton b)
{
    static const unsigned ids[kToolBoxButtonCount] = {223, 224, 225, 226, 227, 228, 600};
    return ids[static_cast<int>(b)];
}

ParameterOpening ParameterOpeningFor(int onlineFlag, int unlistedModel)
{
    if (onlineFlag == 0)
        return ParameterOpening::OpenNow;
    if (onlineFlag == 1)
        return unlistedModel ? ParameterOpening::OpenNow : ParameterOpening::VerifyModelFirst;
    return ParameterOpening::Refuse;
}
