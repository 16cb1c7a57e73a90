#pragma once
// Reads the "StringTable" section of a language file into (identifier, text)
// pairs in file order; duplicates are kept, the first one wins at lookup.

#include <istream>
#include <string>
#include <utility>
#include <vector>

class LanguageFile {
public:
    using Entry = std::pair<unsigned, std::string>;

    // Parses an open stream. Lines without "=" or without a readable
    // identifier are skipped; lines of any length are accepted.
    static std::vector<Entry> parse(std::istream& in);
    // Turns "\t", "\r" and "\n" (backslash sequences) into their characters.
    static std::string unescape(std::string text);
};
