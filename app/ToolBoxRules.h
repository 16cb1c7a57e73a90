#pragma once
// Which tool-box buttons show and which are enabled, from the link state and
// the drive class.

enum class ToolBoxButton {
    ParameterSetup, AlarmList, IoMonitor, Estimate, BlockDiagram, WaveScope, Waystation
};
constexpr int kToolBoxButtonCount = 7;

struct ToolBoxButtonState {
    bool visible = true;
    bool enabled = true;
};

struct ToolBoxLayout {
    ToolBoxButtonState buttons[kToolBoxButtonCount];
    const ToolBoxButtonState& operator[](ToolBoxButton b) const { return buttons[static_cast<int>(b)]; }
    ToolBoxButtonState& operator[](ToolBoxButton b) { return buttons[static_cast<int>(b)]; }
};

ToolBoxLayout ToolBoxLayoutFor(int onlineFlag, int driveClass);

// The text identifier of each button.
unsigned ToolBoxButtonTextId(ToolBoxButton b);

// What the checked opening of the parameter window does.
enum class ParameterOpening { OpenNow, VerifyModelFirst, Refuse };
ParameterOpening ParameterOpeningFor(int onlineFlag, int unlistedModel);
