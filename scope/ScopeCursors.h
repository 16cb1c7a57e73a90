#pragma once
// Two vertical cursors on the time axis and their readout: t1, t2, the
// time between them and its inverse, and each shown channel's value at
// both cursors with their difference, in physical units.

#include "scope/ScopeBuffers.h"

#include <array>
#include <string>
#include <vector>

struct ChannelAtCursors {
    int channel = 0;
    bool atFirst = false, atSecond = false;  // false: no sample there
    double first = 0, second = 0;            // physical units
};

struct CursorReadout {
    double t1Ms = 0, t2Ms = 0, deltaMs = 0;
    bool hasFrequency = false;
    double frequencyHz = 0;  // 1 / delta
    std::vector<ChannelAtCursors> channels;

    // "t1 = 120.0 ms   t2 = 370.0 ms", "Δt = 250.0 ms   1/Δt = 4.000 Hz",
    // then per channel "Speed: 1200 RPM | -300 RPM | Δ -1500 RPM".
    std::vector<std::string> lines() const;
};

class ScopeCursors {
public:
    bool shown() const { return shown_; }
    void setShown(bool shown) { shown_ = shown; }
    // Cursor positions in samples (one sample per millisecond).
    int position(int cursor) const { return position_[static_cast<size_t>(cursor)]; }
    void setPosition(int cursor, int sampleIndex, int captureLength);
    // Puts the cursors at a quarter and three quarters of the screen.
    void place(int captureLength);

    CursorReadout read(const ChannelSamples& samples, const std::array<bool, kScopeChannelCount>& shownChannels) const;

private:
    bool shown_ = false;
    std::array<int, 2> position_{{125, 375}};
};
