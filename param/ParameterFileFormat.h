#pragma once
// The line format shared by parameter-set files (.qdp .pcm .vcm .tcm) and
// system-initialisation files (.som): three heading lines, the last naming
// the model; one line per parameter, Pr.00 first,
//     " 10  !Position loop gain      !   <RS>    1~2000      <RS>   #1/s            # , 35"
// with the definition between "!", the range between record separators
// (0x1E) and the unit between "#"; then a closing block. Files are written
// with CR LF; readers accept LF too.

#include "param/ParameterNumbers.h"

#include <array>
#include <string>

constexpr char kRangeSeparator = '\x1E';
constexpr size_t kModelNameLength = 6;

// The texts and values a file holds.
struct ParameterFileContent {
    bool namesModel = false;  // the heading's third "*" was found
    std::string modelName;    // six characters after " Type : "
    ParameterValues values{};
    std::array<std::string, kParameterCount> definitions;
    std::array<std::string, kParameterCount> ranges;
    std::array<std::string, kParameterCount> units;
};

enum class ParameterFileProblem {
    None,
    MissingParameters,  // fewer than 128 parameter lines (a cut-off file)
    LineOutOfOrder,     // a parameter line with another number than expected
    DelimiterInText,    // a text holds ",", "!", "#" or the record separator
    MalformedLine,      // fields missing or out of place
    BadValue            // not a decimal number of one 16-bit register
};

struct ParameterFileParse {
    ParameterFileProblem problem = ParameterFileProblem::None;
    int line = 0;  // 1-based line of the problem
    bool ok() const { return problem == ParameterFileProblem::None; }
};

// Reads a whole file's text. Texts are kept as written (with their padding,
// which the range check relies on); a blank value reads 0.
ParameterFileParse ParseParameterFile(const std::string& text, ParameterFileContent& content);
// The problem, for the user.
std::string ParameterFileProblemText(const ParameterFileParse& parse, const std::string& path);

// One parameter as a page saves it.
struct ParameterFileLine {
    bool shown = false;  // a hidden parameter is written blank and reads back 0
    std::string definition;
    std::string range;
    std::string unit;
    std::string value;  // signed decimal
};

// The file text of a page. False (and `text` empty) when a text would break
// the format: a delimiter or line break inside it, or a file too long to
// read back.
bool FormatParameterFile(const std::string& modelName,
                         const std::array<ParameterFileLine, kParameterCount>& lines, std::string& text);
