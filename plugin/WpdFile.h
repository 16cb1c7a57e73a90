#pragma once
// Point-table files (".wpd"): an initialisation file with section
// "WPD Setup" (FileVersion) and one section per point and parameter group,
// values in signed decimal. A section that is missing loads zeros; a file
// that is unreadable, not a point table, cut short or holds a value that is
// not a whole 32-bit number is refused as a whole.

#include "plugin/ParameterBlock.h"

#include <string>

namespace waypad {

struct WpdReadResult {
    bool ok = false;
    ParameterValues values{};    // the grid's parameters; others 0
    std::string fileVersion;     // as found, "0.0.0" when absent
    unsigned errorTextId = 0;    // text of the refusal (WaypadTexts.h)
    std::string errorDetail;     // "[section] key" the refusal names, if any
};

WpdReadResult ReadWpdFile(const std::string& path);
// Replaces the file as a whole (written beside it, then renamed).
bool WriteWpdFile(const std::string& path, const ParameterValues& values);

// A whole signed 32-bit decimal number, blanks around it allowed.
bool ParseWholeNumber(const std::string& text, int32_t& value);

}  // namespace waypad
