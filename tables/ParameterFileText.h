#pragma once
// The text of a model's data files: the system-initialisation file (.som:
// one line per parameter with definition, range, unit and factory value, and
// for models without built-in page tables the parameter flags as INI
// sections) and the parameter-reference file (.qdt: an introduction, then
// one help block per parameter, block N+1 for Pr.N). Lines end in CR LF.

#include "tables/ParameterCatalogue.h"

#include <cstddef>
#include <string>
#include <vector>

// Writes the text of the parameter data files of a model.
class ParameterFileText {
public:
    static constexpr char kRecordSeparator = '\x1E';
    static constexpr const char* kLineEnd = "\r\n";
    // A reader holds a whole file with a 16-bit character count.
    static constexpr std::size_t kMaxFileCharacters = 65535;
    static constexpr std::size_t kMaxHelpBlockCharacters = 1003;
    static constexpr const char* kFlagsFileVersion = "1.0.0";

    static std::string systemInitFileName(const std::string& modelName);
    static std::string parameterRefFileName(const std::string& modelName);

    // Range in the layout the page's range check reads: "-" or a blank, the
    // minimum right-aligned in five characters, "~", the maximum.
    static std::string rangeText(int minimum, int maximum);
    // Lines 1 to 4 of a parameter-set file, and lines 133 to 135.
    static std::string header(const std::string& modelName);
    static std::string trailer();
    // One parameter line, without its line end.
    static std::string parameterLine(int number, const std::string& definition, const std::string& range,
                                     const std::string& unit, const std::string& value);

    static std::string systemInitFile(const ParameterCatalogue::Model& model);
    // The reference file's introduction (free text before the blocks), and
    // the block of one parameter (the text between the braces).
    static std::string introduction(const ParameterCatalogue::Model& model);
    static std::string helpBlock(const ParameterCatalogue::Model& model, int number);
    static std::string parameterRefFile(const ParameterCatalogue::Model& model);

    // Everything about a model's files that a reader could not take in
    // (delimiters inside texts, ranges the layout cannot hold, blocks or
    // files over the limits); empty when the files are sound.
    static std::vector<std::string> problems(const ParameterCatalogue::Model& model);
};
