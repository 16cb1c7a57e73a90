#pragma once
// Small text helpers of drivara-cli's plain output.

#include <string>
#include <vector>

// Without blanks at either end.
std::string TrimBlanks(const std::string& text);
// Padded with blanks to at least `width` characters.
std::string PadRight(std::string text, size_t width);
// The text broken into lines of at most `width` characters at blanks (a
// longer word stands alone). The text continues a line already `indent`
// characters long, and every further line is indented that far; line
// feeds in the text are kept.
std::string WrapText(const std::string& text, size_t width, size_t indent);
// The lines of a text (without their line feeds); no empty last line.
std::vector<std::string> SplitLines(const std::string& text);
