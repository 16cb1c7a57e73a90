#include "param/ParameterFileFormat.h"

#include "param/LimitedTextFile.h"
#include "texts/LoadText.h"

#include <cstdio>
#include <string_view>

namespace {

const char* const kLineBreak = "\r\n";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool onlyBlanks(std::string_view s)
{
    for (char c : s)
        if (!isBlank(c))
            return false;
    return true;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A parameter line starts (after blanks) with two hex digits, blanks and "!".
bool isParameterLine(std::string_view line, int& number)
{
    size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i + 3 > line.size() || !isHex(line[i]) || !isHex(line[i + 1]) || !isBlank(line[i + 2]))
        return false;
    size_t j = i + 2;
    while (j < line.size() && isBlank(line[j]))
        ++j;
    if (j >= line.size() || line[j] != '!')
        return false;
    number = std::stoi(std::string(line.substr(i, 2)), nullptr, 16);
    return true;
}

size_t countOf(std::string_view s, char c)
{
    size_t n = 0;
    for (char x : s)
        n += x == c;
    return n;
}

// A decimal number of one register; blank reads 0.
bool parseValue(std::string_view field, int32_t& value)
{
    field = trimmed(field);
    if (field.empty()) {
        value = 0;
        return true;
    }
    size_t i = 0;
    const bool negative = field[0] == '-';
    if (field[0] == '-' || field[0] == '+')
        ++i;
    if (i == field.size() || field.size() - i > 6)
        return false;
    int64_t magnitude = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            return false;
        magnitude = magnitude * 10 + (field[i] - '0');
    }
    const int64_t v = negative ? -magnitude : magnitude;
    if (!FitsRegister(v))
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

// Splits " XX  !def!   RS range RS   #unit# , value" into its fields. A
// line short of delimiters at the very end of the file was cut off.
ParameterFileProblem parseFields(std::string_view line, bool terminated, ParameterFileContent& content,
                                 int parameter)
{
    const size_t counts[4] = {countOf(line, '!'), countOf(line, kRangeSeparator), countOf(line, '#'),
                              countOf(line, ',')};
    const size_t expected[4] = {2, 2, 2, 1};
    for (int i = 0; i < 4; ++i)
        if (counts[i] > expected[i])
            return ParameterFileProblem::DelimiterInText;
    for (int i = 0; i < 4; ++i)
        if (counts[i] < expected[i])
            return terminated ? ParameterFileProblem::MalformedLine : ParameterFileProblem::MissingParameters;
    const size_t bang1 = line.find('!');
    const size_t bang2 = line.find('!', bang1 + 1);
    const size_t rs1 = line.find(kRangeSeparator);
    const size_t rs2 = line.find(kRangeSeparator, rs1 + 1);
    const size_t hash1 = line.find('#');
    const size_t hash2 = line.find('#', hash1 + 1);
    const size_t comma = line.find(',');
    if (!(bang2 < rs1 && rs2 < hash1 && hash2 < comma))
        return ParameterFileProblem::MalformedLine;
    if (!onlyBlanks(line.substr(bang2 + 1, rs1 - bang2 - 1)) || !onlyBlanks(line.substr(rs2 + 1, hash1 - rs2 - 1)) ||
        !onlyBlanks(line.substr(hash2 + 1, comma - hash2 - 1)))
        return ParameterFileProblem::MalformedLine;
    if (!parseValue(line.substr(comma + 1), content.values[parameter]))
        return ParameterFileProblem::BadValue;
    content.definitions[parameter] = std::string(line.substr(bang1 + 1, bang2 - bang1 - 1));
    content.ranges[parameter] = std::string(line.substr(rs1 + 1, rs2 - rs1 - 1));
    content.units[parameter] = std::string(line.substr(hash1 + 1, hash2 - hash1 - 1));
    return ParameterFileProblem::None;
}

// The heading's model: six characters, nine after the third "*".
void findModel(const std::string& text, ParameterFileContent& content)
{
    size_t star = std::string::npos;
    for (int n = 0; n < 3; ++n) {
        star = text.find('*', star == std::string::npos ? 0 : star + 1);
        if (star == std::string::npos)
            return;
    }
    content.namesModel = true;
    const size_t start = star + 9;
    content.modelName = start < text.size() ? text.substr(start, kModelNameLength) : std::string();
}

std::string padded(const std::string& text, size_t width)
{
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

bool breaksFormat(const std::string& text)
{
    return text.find_first_of(std::string(",!#\r\n") + kRangeSeparator) != std::string::npos;
}

}  // namespace

ParameterFileParse ParseParameterFile(const std::string& text, ParameterFileContent& content)
{
    content = ParameterFileContent();
    findModel(text, content);
    ParameterFileParse result;
    int next = 0;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        ++lineNumber;
        const size_t nl = text.find('\n', pos);
        const bool terminated = nl != std::string::npos;
        std::string_view line(text.data() + pos, (terminated ? nl : text.size()) - pos);
        pos = terminated ? nl + 1 : text.size();
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        int number = 0;
        if (!isParameterLine(line, number))
            continue;
        result.line = lineNumber;
        if (number != next) {
            result.problem = ParameterFileProblem::LineOutOfOrder;
            return result;
        }
        // The last line must end with its line break, or the value may be cut.
        if (number == kParameterCount - 1 && !terminated) {
            result.problem = ParameterFileProblem::MissingParameters;
            return result;
        }
        result.problem = parseFields(line, terminated, content, number);
        if (!result.ok())
            return result;
        ++next;
    }
    if (next < kParameterCount) {
        result.problem = ParameterFileProblem::MissingParameters;
        result.line = lineNumber;
    }
    return result;
}

std::string ParameterFileProblemText(const ParameterFileParse& parse, const std::string& path)
{
    unsigned id = 0;
    switch (parse.problem) {
    case ParameterFileProblem::None: return std::string();
    case ParameterFileProblem::MissingParameters: id = 1104; break;
    case ParameterFileProblem::LineOutOfOrder: id = 1105; break;
    case ParameterFileProblem::DelimiterInText: id = 1106; break;
    case ParameterFileProblem::MalformedLine: id = 1107; break;
    case ParameterFileProblem::BadValue: id = 1108; break;
    }
    return path + LoadText(1109) + std::to_string(parse.line) + ": " + LoadText(id);
}

bool FormatParameterFile(const std::string& modelName,
                         const std::array<ParameterFileLine, kParameterCount>& lines, std::string& text)
{
    text.clear();
    std::string out;
    out.reserve(16 * 1024);
    out += std::string("* Servo Parameter Setting Value,") + kLineBreak;
    out += std::string("* Model : QDDG Series,") + kLineBreak;
    out += "* Type : " + modelName + "," + kLineBreak;
    out += kLineBreak;
    const std::string rs(1, kRangeSeparator);
    for (int p = 0; p < kParameterCount; ++p) {
        const ParameterFileLine& line = lines[p];
        out += " " + ParameterHex(p) + "  !";
        if (!line.shown) {
            out += std::string(24, ' ') + "!   " + rs + std::string(15, ' ') + rs + "   #" +
                   std::string(15, ' ') + "# ,     " + kLineBreak;
            continue;
        }
        if (breaksFormat(line.definition) || breaksFormat(line.range) || breaksFormat(line.unit) ||
            breaksFormat(line.value))
            return false;
        out += padded(line.definition, 24) + "!   " + rs + padded(line.range, 15) + rs + "   #" +
               padded(line.unit, 15) + "# , " + line.value + kLineBreak;
    }
    out += std::string(41, '-') + kLineBreak;
    out += std::string("* Mode : Pulse") + kLineBreak;
    out += std::string("End of file.,") + kLineBreak;
    if (CharacterCount(out) > kMaxTextFileCharacters || breaksFormat(modelName))
        return false;
    text = std::move(out);
    return true;
}
