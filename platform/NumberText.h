#pragma once
// Numbers read from text the way an edit field's number is read: leading
// blanks, an optional sign and digits up to the first other character.

#include <string>

// No digits give 0; values beyond int are held at its limits.
int LeadingInteger(const std::string& text);
