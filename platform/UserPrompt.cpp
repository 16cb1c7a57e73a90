#include "UserPrompt.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {

int firstButton(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
    case PromptButtons::OkCancel: return PromptOk;
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel: return PromptYes;
    }
    return PromptOk;
}

class ConsolePrompt : public UserPrompt {
public:
    int messageBox(const std::string& text, const std::string& caption, PromptButtons buttons,
                   PromptIcon) override {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        return firstButton(buttons);
    }
    std::string openFileName(const FileChoice&) override { return {}; }
    std::string saveFileName(const FileChoice&) override { return {}; }
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
};

ConsolePrompt consolePrompt;
std::atomic<UserPrompt*> installed{nullptr};

}  // namespace

UserPrompt& userPrompt() {
    UserPrompt* prompt = installed.load();
    return prompt ? *prompt : consolePrompt;
}

void setUserPrompt(UserPrompt* prompt) { installed.store(prompt); }

}  // namespace platform
