#pragma once
// The marker that reads a trace's value where the user clicked. A press in
// the plot arms it; the next drawing puts it on the trace that passes
// within 3 pixels of the point (found by value, not by pixel colour), and
// it stays while that trace still passes through it.

#include "scope/ScreenTraces.h"

#include <string>

class ScopeMarker {
public:
    static constexpr int kReach = 3;  // the 7 x 7 neighbourhood
    static constexpr int kLeaderReach = 30;
    static constexpr int kLabelWidth = 300;

    void arm(Pixel at);
    void remove();
    // The mouse while it moves; with the button held and the mouse outside
    // the plot it is pulled back inside and the drag ends.
    void trackMouse(Pixel at, const Edges& plot, bool buttonHeld);
    // Run before each drawing.
    void update(const ScreenTraces& screen);

    bool placed() const { return placed_; }
    int channel() const { return channel_; }
    int sampleIndex() const { return sampleIndex_; }
    double value() const { return value_; }
    Pixel point() const { return point_; }
    Pixel mouse() const { return mouse_; }
    bool dragging() const { return dragging_; }

    // "1234.0 RPM", "123.4 %", "-8.0 Pulse": the label beside the marker.
    static std::string Label(int channel, double value);
    // "Speed : 1234.0 RPM" and "500.0ms": the readout in the plot's corner.
    static std::string Readout(int channel, double value);
    static std::string TimeText(int sampleIndex);

private:
    // The channel whose trace passes nearest to the point (-1: none within reach).
    static int nearestTrace(const ScreenTraces& screen, Pixel at, int reach);
    // How far a channel's trace passes from the point (INT_MAX: beyond reach).
    static int traceDistance(const ScreenTraces& screen, int channel, Pixel at, int reach);

    bool armed_ = false;
    bool placed_ = false;
    bool dragging_ = false;
    Pixel armedAt_;
    Pixel point_;
    Pixel mouse_;
    int channel_ = -1;
    int sampleIndex_ = 0;
    double value_ = 0;
};
