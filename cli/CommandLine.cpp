#include "cli/CommandLine.h"

#include "cli/CliTexts.h"
#include "cli/PlainText.h"
#include "texts/LoadText.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr size_t kHelpWidth = 79;

const char* const kCommonOptions[] = {"port", "baud", "station", "model", "scan-to", "data-dir", "json", "yes", "help"};


std::string capitalised(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string optionSynopsis(const OptionShape& option)
{
    std::string text = std::string("--") + option.name;
    if (option.valueName)
        text += std::string(" ") + option.valueName;
    return text;
}

void appendOptions(std::string& help, const std::vector<std::string>& names)
{
    size_t width = 0;
    for (const std::string& name : names)
        width = std::max(width, optionSynopsis(*FindCliOption(name)).size());
    for (const std::string& name : names) {
        const OptionShape& option = *FindCliOption(name);
        help += "  " + PadRight(optionSynopsis(option), width) + "  " +
                WrapText(LoadText(option.helpText), kHelpWidth, width + 4) + "\n";
    }
}

std::string synopsis(const CommandShape& command)
{
    std::string text = command.name;
    if (*command.arguments)
        text += std::string(" ") + command.arguments;
    return text;
}

// Takes "--name" or "--name=value" (and "-h"); the value of a value option
// may also be the next argument.
bool takeOption(const std::vector<std::string>& arguments, size_t& index, CommandLine& line, std::string& error)
{
    const std::string& word = arguments[index];
    if (word == "-h") {
        line.help = true;
        return true;
    }
    std::string name = word.substr(2);
    std::string value;
    const size_t equals = name.find('=');
    const bool inlineValue = equals != std::string::npos;
    if (inlineValue) {
        value = name.substr(equals + 1);
        name = name.substr(0, equals);
    }
    const OptionShape* option = FindCliOption(name);
    if (!option) {
        error = LoadText(kTextUnknownOption) + word;
        return false;
    }
    if (!option->valueName) {
        if (inlineValue) {
            error = LoadText(kTextFlagTakesNoValue) + "--" + name;
            return false;
        }
        if (name == "help")
            line.help = true;
        else
            line.values[name].clear();
        return true;
    }
    if (!inlineValue) {
        if (index + 1 >= arguments.size()) {
            error = LoadText(kTextOptionNeedsValue) + "--" + name + " " + option->valueName;
            return false;
        }
        value = arguments[++index];
    }
    line.values[name] = value;
    return true;
}

}  // namespace

std::string CommandLine::value(const std::string& option, const std::string& fallback) const
{
    const auto found = values.find(option);
    return found == values.end() ? fallback : found->second;
}

const std::vector<OptionShape>& CliOptions()
{
    static const std::vector<OptionShape> options = {
        {"port", "PORT", kTextOptionPort},
        {"baud", "RATE", kTextOptionBaud},
        {"station", "N", kTextOptionStation},
        {"model", "MODEL", kTextOptionModel},
        {"scan-to", "N", kTextOptionScanTo},
        {"data-dir", "FOLDER", kTextOptionDataDir},
        {"json", nullptr, kTextOptionJson},
        {"yes", nullptr, kTextOptionYes},
        {"help", nullptr, kTextOptionHelp},
        {"eeprom", nullptr, kTextOptionEeprom},
        {"factory", nullptr, kTextOptionFactory},
        {"channels", "LIST", kTextOptionChannels},
        {"ms", "MS", kTextOptionMs},
        {"trigger", "CHANNEL", kTextOptionTrigger},
        {"level", "COUNTS", kTextOptionLevel},
        {"horizontal", "PERCENT", kTextOptionHorizontal},
        {"timeout", "SECONDS", kTextOptionTimeout},
    };
    return options;
}

const std::vector<CommandShape>& CliCommands()
{
    static const std::vector<CommandShape> commands = {
        {"ports", "", 0, 0, {}, kTextSummaryPorts, kTextDetailPorts},
        {"identify", "", 0, 0, {}, kTextSummaryIdentify, kTextDetailIdentify},
        {"read-params", "FILE", 1, 1, {}, kTextSummaryReadParams, kTextDetailReadParams},
        {"write-params", "FILE", 1, 1, {"eeprom"}, kTextSummaryWriteParams, kTextDetailWriteParams},
        {"get", "PR", 1, 1, {}, kTextSummaryGet, kTextDetailGet},
        {"set", "PR VALUE", 2, 2, {"eeprom"}, kTextSummarySet, kTextDetailSet},
        {"scope", "FILE.wfm", 1, 1, {"channels", "ms", "trigger", "level", "horizontal", "timeout"},
         kTextSummaryScope, kTextDetailScope},
        {"alarms", "", 0, 0, {}, kTextSummaryAlarms, kTextDetailAlarms},
        {"io", "", 0, 0, {}, kTextSummaryIo, kTextDetailIo},
        {"compare", "FILE | --factory", 0, 1, {"factory"}, kTextSummaryCompare, kTextDetailCompare},
    };
    return commands;
}

const CommandShape* FindCliCommand(const std::string& name)
{
    for (const CommandShape& command : CliCommands())
        if (name == command.name)
            return &command;
    return nullptr;
}

const OptionShape* FindCliOption(const std::string& name)
{
    for (const OptionShape& option : CliOptions())
        if (name == option.name)
            return &option;
    return nullptr;
}

bool IsCommonOption(const std::string& name)
{
    return std::find(std::begin(kCommonOptions), std::end(kCommonOptions), name) != std::end(kCommonOptions);
}

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error)
{
    line = CommandLine();
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (word.rfind("--", 0) == 0 || word == "-h")) {
            if (!takeOption(arguments, i, line, error))
                return false;
        } else {
            words.push_back(word);
        }
    }
    if (words.empty()) {
        if (line.help)
            return true;
        error = LoadText(kTextNoCommand);
        return false;
    }
    line.command = words.front();
    line.arguments.assign(words.begin() + 1, words.end());
    const CommandShape* command = FindCliCommand(line.command);
    if (!command) {
        error = LoadText(kTextUnknownCommand) + line.command;
        return false;
    }
    for (const auto& option : line.values) {
        const auto& own = command->ownOptions;
        if (!IsCommonOption(option.first) && std::find(own.begin(), own.end(), option.first) == own.end()) {
            error = "--" + option.first + LoadText(kTextOptionNotForCommand) + line.command;
            return false;
        }
    }
    if (line.help)
        return true;
    const int count = static_cast<int>(line.arguments.size());
    if (count < command->minArguments || count > command->maxArguments) {
        error = LoadText(kTextWrongArguments) + synopsis(*command);
        return false;
    }
    return true;
}

std::string GeneralHelp()
{
    std::string help = LoadText(kTextUsage) + "\n\n" + LoadText(kTextCommandsHeading) + "\n";
    size_t width = 0;
    for (const CommandShape& command : CliCommands())
        width = std::max(width, synopsis(command).size());
    for (const CommandShape& command : CliCommands())
        help += "  " + PadRight(synopsis(command), width) + "  " +
                WrapText(LoadText(command.summaryText), kHelpWidth, width + 4) + "\n";
    help += "\n" + LoadText(kTextCommonOptionsHeading) + "\n";
    appendOptions(help, std::vector<std::string>(std::begin(kCommonOptions), std::end(kCommonOptions)));
    help += "\n" + WrapText(LoadText(kTextExitCodes), kHelpWidth, 0) + "\n";
    return help;
}

std::string CommandHelp(const CommandShape& command)
{
    std::string help = "drivara-cli " + synopsis(command) + " [options]\n\n" +
                       WrapText(capitalised(LoadText(command.summaryText)) + ". " + LoadText(command.detailText),
                                kHelpWidth, 0) +
                       "\n";
    if (!command.ownOptions.empty()) {
        help += "\n" + LoadText(kTextOwnOptionsHeading) + "\n";
        appendOptions(help, command.ownOptions);
    }
    help += "\n" + LoadText(kTextCommonOptionsHeading) + "\n";
    appendOptions(help, std::vector<std::string>(std::begin(kCommonOptions), std::end(kCommonOptions)));
    help += "\n" + WrapText(LoadText(kTextExitCodes), kHelpWidth, 0) + "\n";
    return help;
}
