#pragma once
// Names of the drive's control modes, indexed by the value of Pr.02.

#include <string>

// Values 0 to 8; 6 to 8 are the internal-position modes served by the plug-in.
constexpr int kControlModeCount = 9;
constexpr int kFirstInternalPositionMode = 6;

// The name of a control-mode value, or "------------" for a value the drive
// should never hold (the I/O monitor shows exactly that).
std::string ControlModeName(int value);
bool IsInternalPositionMode(int value);
