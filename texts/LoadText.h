#pragma once
// Every text the program shows, by numeric identifier: first from the
// language table read from "Language.lng", then from the built-in English
// table. An identifier found in neither gives an empty string.

#include <map>
#include <string>

std::string LoadText(unsigned id);

// Replaces the language table with the "StringTable" section of a language
// file. Returns false (and keeps the table empty) when the file cannot be read.
bool LoadLanguageFile(const std::string& path);
void ClearLanguageTable();

// The built-in English texts, by identifier.
const std::map<unsigned, std::string>& BuiltInTexts();
