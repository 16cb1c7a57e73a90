#pragma once
// The program's prompt: message boxes, file dialogs and the wait cursor of Qt.

#include "platform/UserPrompt.h"

class QtUserPrompt : public platform::UserPrompt {
public:
    int messageBox(const std::string& text, const std::string& caption,
                   platform::PromptButtons buttons, platform::PromptIcon icon) override;
    std::string openFileName(const platform::FileChoice& choice) override;
    std::string saveFileName(const platform::FileChoice& choice) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
};
