#pragma once
// A UserPrompt for tests: records every prompt and answers from a script.

#include "UserPrompt.h"

#include <deque>
#include <mutex>
#include <vector>

namespace platform {

class ScriptedUserPrompt : public UserPrompt {
public:
    enum class Kind { Message, OpenFile, SaveFile };
    struct Shown {
        Kind kind;
        std::string text;     // message text, or the dialog caption
        std::string caption;  // message caption
        PromptButtons buttons;
    };

    // Answers are taken in order; with none left a message box answers with
    // its first button and a file dialog is cancelled.
    void queueAnswer(int result);
    void queueFile(const std::string& path);

    std::vector<Shown> shown() const;
    std::vector<std::string> messageTexts() const;
    // Number of shown messages whose text equals `text`.
    int countMessages(const std::string& text) const;
    void clear();
    int waitCursorDepth() const;

    int messageBox(const std::string& text, const std::string& caption,
                   PromptButtons buttons, PromptIcon icon) override;
    std::string openFileName(const FileChoice& choice) override;
    std::string saveFileName(const FileChoice& choice) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;

private:
    std::string nextFile();

    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::deque<std::string> files_;
    std::vector<Shown> shown_;
    int waitDepth_ = 0;
};

// Installs a prompt for the life of the object, restoring the previous one.
class ScopedUserPrompt {
public:
    explicit ScopedUserPrompt(UserPrompt& prompt);
    ~ScopedUserPrompt();
    ScopedUserPrompt(const ScopedUserPrompt&) = delete;
    ScopedUserPrompt& operator=(const ScopedUserPrompt&) = delete;

private:
    UserPrompt* previous_;
};

}  // namespace platform
