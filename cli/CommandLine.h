#pragma once
// drivara-cli's command line: one command with its arguments and options,
// "--name value" or "--name=value", in any order; "--" ends the options,
// so a negative value can follow it. Parsing checks the shape (known
// command, known options, argument count); the values are read later.

#include <map>
#include <string>
#include <vector>

struct OptionShape {
    const char* name;       // without the dashes
    const char* valueName;  // nullptr: a flag
    unsigned helpText;
};

struct CommandShape {
    const char* name;
    const char* arguments;  // as the synopsis shows them
    int minArguments;
    int maxArguments;
    std::vector<std::string> ownOptions;  // beside the common ones
    unsigned summaryText;
    unsigned detailText;  // what the command does, for its --help
};

struct CommandLine {
    std::string command;  // empty: none given
    std::vector<std::string> arguments;
    std::map<std::string, std::string> values;  // by option name; flags hold ""
    bool help = false;

    bool has(const std::string& option) const { return values.count(option) > 0; }
    std::string value(const std::string& option, const std::string& fallback = std::string()) const;
};

// The commands and the options, in the order help lists them.
const std::vector<CommandShape>& CliCommands();
const std::vector<OptionShape>& CliOptions();
const CommandShape* FindCliCommand(const std::string& name);
const OptionShape* FindCliOption(const std::string& name);
// Options every command takes.
bool IsCommonOption(const std::string& name);

// False with the reason in `error` (a text for the user).
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

// The help of the whole program, and of one command.
std::string GeneralHelp();
std::string CommandHelp(const CommandShape& command);
