#pragma once
// A one-line progress display on standard error for long operations, shown
// only when standard error is a terminal; a script's error stream gets no
// progress lines.

#include <iosfwd>
#include <string>

class ProgressDisplay {
public:
    ProgressDisplay(std::ostream& err, bool enabled);
    ~ProgressDisplay() { clear(); }

    bool enabled() const { return enabled_; }
    // "Reading parameters  45%" (a maximum of 0 shows the label alone).
    void show(const std::string& label, int position, int maximum);
    // Removes the line, so messages start on a clean one.
    void clear();

    // Whether a terminal is on standard error.
    static bool standardErrorIsTerminal();

private:
    std::ostream& err_;
    bool enabled_;
    size_t shownWidth_ = 0;
    std::string lastLine_;
};
