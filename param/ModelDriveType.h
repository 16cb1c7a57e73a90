#pragma once
// The drive type of a model named in the tables' spelling ("Vr_007",
// "VR-007", "zt 101"), for work on a model without a connected drive.

#include "tables/DriveType.h"

#include <string>

// False when the name is no model of the selection list.
bool DriveTypeOfModel(const std::string& name, DriveType& drive);
