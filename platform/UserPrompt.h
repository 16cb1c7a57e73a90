#pragma once
// The one seam through which everything a person sees passes: message boxes,
// questions, file choices and the wait cursor. The program installs a Qt
// implementation; tests install ScriptedUserPrompt and answer from a script.

#include <string>

namespace platform {

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptIcon { None, Information, Warning, Error, Question };

// Results keep the values of the classic message-box identifiers, because
// callers compare against them.
enum PromptResult { PromptOk = 1, PromptCancel = 2, PromptYes = 6, PromptNo = 7 };

struct FileChoice {
    std::string caption;
    std::string directory;
    std::string filter;       // "Parameter files (*.qdp);;All files (*)"
    std::string defaultName;  // suggested file name for a save
};

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    virtual int messageBox(const std::string& text, const std::string& caption,
                           PromptButtons buttons = PromptButtons::Ok,
                           PromptIcon icon = PromptIcon::None) = 0;
    // Empty result: the person cancelled.
    virtual std::string openFileName(const FileChoice& choice) = 0;
    virtual std::string saveFileName(const FileChoice& choice) = 0;
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;
};

// The prompt in force. Without an installed one, a console prompt prints
// each message to stderr and answers with the first button.
UserPrompt& userPrompt();
// Installs a prompt (not owned); nullptr restores the console prompt.
void setUserPrompt(UserPrompt* prompt);

// The two plain boxes most failures and notes use: OK only, with the icon.
inline void showError(const std::string& text, const std::string& caption = "Error")
{
    userPrompt().messageBox(text, caption, PromptButtons::Ok, PromptIcon::Error);
}
inline void showWarning(const std::string& text, const std::string& caption = "Warning")
{
    userPrompt().messageBox(text, caption, PromptButtons::Ok, PromptIcon::Warning);
}

// Shows the wait cursor for the life of the object.
class WaitCursor {
public:
    WaitCursor() { userPrompt().beginWaitCursor(); }
    ~WaitCursor() { userPrompt().endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace platform
