#pragma once
// Where the model's system-initialisation file (definitions, ranges,
// units, factory values, flags) and parameter-reference file (help) are:
// the working folder, "SystemInit-<model>.som" and "ParameterRef-<model>.qdt".

#include "tables/DriveType.h"

#include <string>

// Empty when the drive class (only 1 to 5 have files) names no model.
std::string SystemInitPath(const std::string& workingDirectory, const DriveType& drive);
std::string ParameterReferencePath(const std::string& workingDirectory, const DriveType& drive);
// Shown when a file name cannot be built for the drive class.
extern const char* const kDriverTypeErrorText;
