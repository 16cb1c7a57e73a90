#pragma once
// What every command of drivara-cli works with: its command line, where
// messages and progress go, the data folders and the program's settings.

#include "cli/CommandLine.h"
#include "cli/OutputWriter.h"

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

class ConsolePrompt;
class ProgressDisplay;

struct CliContext {
    CliContext(const CommandLine& line, ConsolePrompt& prompt, ProgressDisplay& progress, std::ostream& err)
        : line(line), prompt(prompt), progress(progress), err(err)
    {
    }

    const CommandLine& line;
    ConsolePrompt& prompt;
    ProgressDisplay& progress;
    std::ostream& err;
    std::vector<std::string> dataFolders;
    std::string settingsPath;  // the Preference.ini found, or empty
    bool repairPr1F = true;
    int ioIntervalMs = 115;
    const std::atomic<bool>* interrupted = nullptr;

    bool json() const { return line.has("json"); }
    bool isInterrupted() const { return interrupted && interrupted->load(); }
    // Prints "drivara-cli <command>: <what>" on the error stream and
    // returns `exitCode`.
    int fail(int exitCode, const std::string& what) const;
    // The same for a problem the command goes on after.
    void warn(const std::string& what) const;
};

// A command: fills `output` and returns the exit code.
using CliCommandFunction = int (*)(CliContext& context, CommandOutput& output);
