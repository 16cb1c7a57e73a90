#include "tables/ParameterFileText.h"

#include <cstdio>

namespace {

using Model = ParameterCatalogue::Model;
using Parameter = ParameterCatalogue::Parameter;

constexpr std::size_t kDefinitionWidth = 24;
constexpr std::size_t kRangeWidth = 15;
constexpr std::size_t kUnitWidth = 15;
constexpr std::size_t kModelNameLength = 6;
// The range layout holds five digits on either side of "~".
constexpr int kLargestRangeNumber = 99999;

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string hex2(int number, const char* format)
{
    char text[8];
    std::snprintf(text, sizeof text, format, number & 0xFF);
    return text;
}

// Characters a field text may hold: printable ASCII without the delimiters
// the reader finds fields by (and without "*", which marks the header).
bool fieldCharacterAllowed(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x20 && u < 0x7F && c != ',' && c != '!' && c != '#' && c != '*';
}

// Help may hold commas and line breaks, but never the block braces.
bool helpCharacterAllowed(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return c == '\r' || c == '\n' || (u >= 0x20 && u < 0x7F && c != '{' && c != '}');
}

template <typename Allowed>
bool allAllowed(const std::string& text, Allowed allowed)
{
    for (char c : text)
        if (!allowed(c))
            return false;
    return true;
}

std::string parameterName(int number)
{
    return "Pr." + hex2(number, "%02X");
}

void checkParameter(const Parameter& p, std::vector<std::string>& problems)
{
    const std::string name = parameterName(p.number);
    if (!allAllowed(p.definition, fieldCharacterAllowed) || std::string(p.definition).empty())
        problems.push_back(name + ": definition empty or with a delimiter character");
    if (!allAllowed(p.unit, fieldCharacterAllowed))
        problems.push_back(name + ": unit with a delimiter character");
    if (p.minimum > p.maximum || p.minimum < -kLargestRangeNumber || p.maximum < 0 ||
        p.maximum > kLargestRangeNumber || p.minimum < -32768 || p.maximum > 32767)
        problems.push_back(name + ": range the layout or a 16-bit register cannot hold");
    if (p.factory < p.minimum || p.factory > p.maximum)
        problems.push_back(name + ": factory value outside its range");
    if (p.modeBits > 7)
        problems.push_back(name + ": mode bits beyond position, velocity and torque");
}

}  // namespace

std::string ParameterFileText::systemInitFileName(const std::string& modelName)
{
    return "SystemInit-" + modelName + ".som";
}

std::string ParameterFileText::parameterRefFileName(const std::string& modelName)
{
    return "ParameterRef-" + modelName + ".qdt";
}

std::string ParameterFileText::rangeText(int minimum, int maximum)
{
    char text[32];
    std::snprintf(text, sizeof text, "%c%5d~%d", minimum < 0 ? '-' : ' ', minimum < 0 ? -minimum : minimum,
                  maximum);
    return text;
}

std::string ParameterFileText::header(const std::string& modelName)
{
    return std::string("* Servo Parameter Setting Value,") + kLineEnd + "* Model : QDDG Series," + kLineEnd +
           "* Type : " + modelName + "," + kLineEnd + kLineEnd;
}

std::string ParameterFileText::trailer()
{
    return std::string(41, '-') + kLineEnd + "* Mode : Pulse" + kLineEnd + "End of file.," + kLineEnd;
}

std::string ParameterFileText::parameterLine(int number, const std::string& definition, const std::string& range,
                                             const std::string& unit, const std::string& value)
{
    return " " + hex2(number, "%02X") + "  !" + padded(definition, kDefinitionWidth) + "!   " + kRecordSeparator +
           padded(range, kRangeWidth) + kRecordSeparator + "   #" + padded(unit, kUnitWidth) + "# , " + value;
}

std::string ParameterFileText::systemInitFile(const Model& model)
{
    std::string text = header(model.name);
    for (const Parameter& p : model.parameters)
        text += parameterLine(p.number, p.definition, rangeText(p.minimum, p.maximum), p.unit,
                              std::to_string(p.factory)) +
                kLineEnd;
    text += trailer();
    if (ParameterCatalogue::hasBuiltInPageTables(model.driveClass))
        return text;
    // The flags as INI sections, found by section name wherever they stand.
    text += std::string("[Setup]") + kLineEnd + "FileVersion=" + kFlagsFileVersion + kLineEnd;
    for (const Parameter& p : model.parameters) {
        text += "[Par0x" + hex2(p.number, "%02x") + "]" + kLineEnd;
        text += "Reboot=" + std::to_string(p.restart ? 1 : 0) + kLineEnd;
        text += "Permanentlcd=" + std::to_string(p.unused ? 1 : 0) + kLineEnd;
        text += "ModeBit=" + std::to_string(p.modeBits) + kLineEnd;
        text += "Autotunelcd=" + std::to_string(p.autoTuneLocked ? 1 : 0) + kLineEnd;
    }
    return text;
}

std::string ParameterFileText::introduction(const Model& model)
{
    return "Parameter reference of the " + model.name + " drive" + kLineEnd +
           "Select a parameter in the list to read what it does. Its factory value, range and unit "
           "stand above its description." +
           kLineEnd +
           "Parameters marked * take effect only after they are written to EEPROM and the drive is "
           "powered off and on again." +
           kLineEnd +
           "Grey parameters are not used by this model; they stay locked unless engineer mode is on." +
           (model.parameters[ParameterCatalogue::kRealTimeAutoTuning].unused ? ""
                                          : " While real-time auto tuning (Pr.21) is on, the gains it sets are locked.");
}

std::string ParameterFileText::helpBlock(const Model& model, int number)
{
    const Parameter& p = model.parameters[static_cast<std::size_t>(number) & 0x7F];
    std::string text = parameterName(p.number) + " " + p.definition + kLineEnd;
    text += "Initial Value: " + std::to_string(p.factory) + kLineEnd;
    text += "Range: " + std::to_string(p.minimum) + "~" + std::to_string(p.maximum) + kLineEnd;
    text += std::string("Unit: ") + p.unit + kLineEnd;
    text += std::string("Function:") + kLineEnd + p.help;
    if (p.restart)
        text += std::string(kLineEnd) + "Takes effect after a save to EEPROM and the next power-up.";
    return text;
}

std::string ParameterFileText::parameterRefFile(const Model& model)
{
    // The introduction stands before the blocks as free text: block N+1 is
    // the help of Pr.N, as the page counts them.
    std::string text = introduction(model) + kLineEnd + kLineEnd;
    for (int n = 0; n < ParameterCatalogue::kParameterCount; ++n)
        text += "{{{" + helpBlock(model, n) + "}}}" + kLineEnd;
    return text;
}

std::vector<std::string> ParameterFileText::problems(const Model& model)
{
    std::vector<std::string> found;
    if (model.name.size() != kModelNameLength || !allAllowed(model.name, fieldCharacterAllowed))
        found.push_back("model name \"" + model.name + "\" is not six plain characters");
    for (int n = 0; n < ParameterCatalogue::kParameterCount; ++n) {
        const Parameter& p = model.parameters[static_cast<std::size_t>(n)];
        if (p.number != n)
            found.push_back(parameterName(n) + ": row holds " + parameterName(p.number));
        checkParameter(p, found);
        const std::string block = helpBlock(model, n);
        if (block.size() > kMaxHelpBlockCharacters || !allAllowed(block, helpCharacterAllowed))
            found.push_back(parameterName(n) + ": help block over the limit or with a brace");
    }
    if (!allAllowed(introduction(model), helpCharacterAllowed))
        found.push_back("introduction with a brace");
    if (systemInitFile(model).size() > kMaxFileCharacters)
        found.push_back(systemInitFileName(model.name) + " over the size limit");
    if (parameterRefFile(model).size() > kMaxFileCharacters)
        found.push_back(parameterRefFileName(model.name) + " over the size limit");
    return found;
}
