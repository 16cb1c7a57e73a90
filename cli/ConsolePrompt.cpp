#include "cli/ConsolePrompt.h"

#include "cli/CliTexts.h"
#include "cli/PlainText.h"
#include "texts/LoadText.h"

#include <ostream>

using platform::PromptButtons;
using platform::PromptIcon;

ConsolePrompt::ConsolePrompt(std::ostream& err, bool assumeYes) : err_(err), assumeYes_(assumeYes) {}

void ConsolePrompt::print(const std::string& caption, const std::string& text)
{
    if (beforePrint_)
        beforePrint_();
    // Every line of the message after the first is indented under it.
    std::string body;
    bool first = true;
    for (std::string line : SplitLines(text)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
            line.pop_back();
        body += (first ? "" : "\n  ") + line;
        first = false;
    }
    err_ << (caption.empty() ? std::string() : caption + ": ") << body << "\n";
    err_.flush();
}

int ConsolePrompt::messageBox(const std::string& text, const std::string& caption, PromptButtons buttons,
                              PromptIcon icon)
{
    if (buttons == PromptButtons::Ok) {
        // What went well is the command's output; boxes that only confirm
        // success would clutter a script's error stream.
        if (icon != PromptIcon::Information)
            print(caption, text);
        return platform::PromptOk;
    }
    const bool okCancel = buttons == PromptButtons::OkCancel;
    if (assumeYes_)
        return okCancel ? platform::PromptOk : platform::PromptYes;
    declined_ = true;
    print(caption, text);
    print(std::string(), LoadText(kTextAnsweredNo));
    return okCancel ? platform::PromptCancel : platform::PromptNo;
}
