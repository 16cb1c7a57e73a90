#pragma once
// Reading the parameter page's text files whole, within the limits of their
// format: fewer than 65536 characters of text. A file beyond them is
// refused rather than read in part.

#include <cstddef>
#include <string>

constexpr size_t kMaxTextFileCharacters = 65535;

enum class TextFileStatus {
    Ok,
    Missing,     // no such file
    Unreadable,  // a folder, no permission, an I/O error
    TooLarge,    // 65536 characters or more
    Binary       // control characters a text file does not hold
};

// Reads the file into `text` (left empty unless Ok).
TextFileStatus ReadLimitedTextFile(const std::string& path, std::string& text);
// Characters of UTF-8 text (bytes that start a character).
size_t CharacterCount(const std::string& text);
// True when the text holds a control character other than tab, line
// breaks and the record separator the parameter lines use.
bool HoldsBinaryBytes(const std::string& text);
// What went wrong, for the user: "<path>: the file is too large ...".
std::string TextFileProblemText(TextFileStatus status, const std::string& path);
