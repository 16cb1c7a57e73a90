#include "ScriptedUserPrompt.h"

namespace platform {

void ScriptedUserPrompt::queueAnswer(int result) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(result);
}

void ScriptedUserPrompt::queueFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    files_.push_back(path);
}

std::vector<ScriptedUserPrompt::Shown> ScriptedUserPrompt::shown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
}

std::vector<std::string> ScriptedUserPrompt::messageTexts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> texts;
    for (const Shown& s : shown_)
        if (s.kind == Kind::Message) texts.push_back(s.text);
    return texts;
}

int ScriptedUserPrompt::countMessages(const std::string& text) const {
    int n = 0;
    for (const std::string& t : messageTexts())
        if (t == text) ++n;
    return n;
}

void ScriptedUserPrompt::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.clear();
    answers_.clear();
    files_.clear();
}

int ScriptedUserPrompt::waitCursorDepth() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return waitDepth_;
}

int ScriptedUserPrompt::messageBox(const std::string& text, const std::string& caption,
                                   PromptButtons buttons, PromptIcon) {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back({Kind::Message, text, caption, buttons});
    if (!answers_.empty()) {
        int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return (buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel) ? PromptYes
                                                                                      : PromptOk;
}

std::string ScriptedUserPrompt::nextFile() {
    if (files_.empty()) return {};
    std::string path = files_.front();
    files_.pop_front();
    return path;
}

std::string ScriptedUserPrompt::openFileName(const FileChoice& choice) {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back({Kind::OpenFile, choice.caption, {}, PromptButtons::OkCancel});
    return nextFile();
}

std::string ScriptedUserPrompt::saveFileName(const FileChoice& choice) {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back({Kind::SaveFile, choice.caption, {}, PromptButtons::OkCancel});
    return nextFile();
}

void ScriptedUserPrompt::beginWaitCursor() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++waitDepth_;
}

void ScriptedUserPrompt::endWaitCursor() {
    std::lock_guard<std::mutex> lock(mutex_);
    --waitDepth_;
}

ScopedUserPrompt::ScopedUserPrompt(UserPrompt& prompt) : previous_(&userPrompt()) {
    setUserPrompt(&prompt);
}

ScopedUserPrompt::~ScopedUserPrompt() { setUserPrompt(previous_); }

}  // namespace platform
