#pragma once
// The user prompt of drivara-cli: warnings and errors go to standard error
// (boxes that only confirm success do not), questions are answered from
// the command line (--yes answers OK and Yes; without it the question is
// printed and answered Cancel or No), and nothing is ever read from the
// terminal, so a script never waits. File choices are never asked:
// commands take their paths as arguments.

#include "platform/UserPrompt.h"

#include <functional>
#include <iosfwd>
#include <string>

class ConsolePrompt : public platform::UserPrompt {
public:
    ConsolePrompt(std::ostream& err, bool assumeYes);

    int messageBox(const std::string& text, const std::string& caption, platform::PromptButtons buttons,
                   platform::PromptIcon icon) override;
    std::string openFileName(const platform::FileChoice&) override { return std::string(); }
    std::string saveFileName(const platform::FileChoice&) override { return std::string(); }
    void beginWaitCursor() override {}
    void endWaitCursor() override {}

    // A question was answered No or Cancel because --yes was not given.
    bool declined() const { return declined_; }

    // Called before anything is printed (the progress display clears its line).
    void setBeforePrint(std::function<void()> beforePrint) { beforePrint_ = std::move(beforePrint); }

private:
    void print(const std::string& caption, const std::string& text);

    std::ostream& err_;
    bool assumeYes_;
    bool declined_ = false;
    std::function<void()> beforePrint_;
};
