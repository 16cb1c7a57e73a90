#include "cli/ProgressDisplay.h"

#include <ostream>
#include <unistd.h>

ProgressDisplay::ProgressDisplay(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

bool ProgressDisplay::standardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

void ProgressDisplay::show(const std::string& label, int position, int maximum)
{
    if (!enabled_)
        return;
    std::string line = label;
    if (maximum > 0) {
        const int percent = position <= 0 ? 0 : (position >= maximum ? 100 : position * 100 / maximum);
        line += "  " + std::to_string(percent) + "%";
    }
    if (line == lastLine_)
        return;  // a terminal is slow; redraw only what changed
    std::string padding;
    if (line.size() < shownWidth_)
        padding.assign(shownWidth_ - line.size(), ' ');
    err_ << "\r" << line << padding << std::flush;
    shownWidth_ = line.size();
    lastLine_ = line;
}

void ProgressDisplay::clear()
{
    if (!enabled_ || shownWidth_ == 0)
        return;
    err_ << "\r" << std::string(shownWidth_, ' ') << "\r" << std::flush;
    shownWidth_ = 0;
    lastLine_.clear();
}
