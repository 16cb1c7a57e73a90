#pragma once
// Whether a parameter file made for one drive model may be loaded into the
// page of another: accepted as it is, converted (the older model of the
// same line), or refused. And the conversion itself.

#include "param/ParameterNumbers.h"

#include <string>

enum class FileVerdict { Accept, Convert, Refuse };

// Page and file as (family, model group); the file's from its model name.
FileVerdict CheckFileModel(int pageFamily, int pageGroup, int fileFamily, int fileGroup);
// Adjusts the values of a file of the older model (Vr_006, Vr_101, Vr_201)
// for its successor.
void ConvertFileValues(ParameterValues& values, int fileGroup);

// The messages of a conversion and a refusal.
std::string ConversionWarningText(const std::string& fileModel, const std::string& pageModel);
std::string IncompatibleFileText(const std::string& fileModel, const std::string& pageModel);
