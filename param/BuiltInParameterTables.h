#pragma once
// What the parameter page shows and allows for the Vr models whose tables
// are built in: the parameters hidden in each page mode, the unused ones,
// the ones that take effect only after a restart, and the gains real-time
// auto tuning owns.

#include "param/ParameterNumbers.h"

// Vr groups with built-in tables: 4 (Vr_003), 6 (Vr_UT1), 7 (Vr_005), 8-35.
bool HasBuiltInParameterTables(int vrGroup);
// Visible parameters of a page mode; the parameter control mode shows all.
// A group without tables shows all.
ParameterSet BuiltInVisibleParameters(int vrGroup, int pageMode);
// Parameters the model does not use (empty for a group without tables).
ParameterSet BuiltInUnusedParameters(int vrGroup);
// Parameters that take effect only after the drive is powered off and on.
ParameterSet BuiltInRestartParameters();
// Parameters locked while real-time auto gain tuning (Pr.21) is on.
ParameterSet AutoTuningLockedParameters();
