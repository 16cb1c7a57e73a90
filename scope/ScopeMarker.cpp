#include "scope/ScopeMarker.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

void ScopeMarker::arm(Pixel at)
{
    armed_ = true;
    dragging_ = true;
    armedAt_ = at;
    mouse_ = at;
}

void ScopeMarker::remove()
{
    armed_ = false;
    placed_ = false;
    channel_ = -1;
}

void ScopeMarker::trackMouse(Pixel at, const Edges& plot, bool buttonHeld)
{
    if (buttonHeld && dragging_ && !plot.contains(at.x, at.y)) {
        if (at.x < plot.left)
            at.x = plot.left + plot.width() / 10;
        else if (at.x > plot.right)
            at.x = plot.left + plot.width() * 9 / 10;
        if (at.y < plot.top)
            at.y = plot.top + plot.height() / 20;
        else if (at.y > plot.bottom)
            at.y = plot.top + plot.height() * 19 / 20;
        dragging_ = false;
    }
    if (!buttonHeld)
        dragging_ = false;
    mouse_ = at;
}

int ScopeMarker::traceDistance(const ScreenTraces& screen, int channel, Pixel at, int reach)
{
    const int count = static_cast<int>(screen.drawnCount(channel));
    if (count < 2)
        return INT_MAX;
    int best = INT_MAX;
    const int first = std::max(0, SampleIndexAtX(screen.plot, screen.captureLength, at.x - reach) - 1);
    const int last = std::min(count - 1, SampleIndexAtX(screen.plot, screen.captureLength, at.x + reach) + 1);
    for (int i = first; i <= last; ++i) {
        // The segment from sample i to i + 1 covers the rows between them.
        const Pixel a = screen.pixelOf(channel, i);
        const Pixel b = screen.pixelOf(channel, std::min(i + 1, count - 1));
        if (std::max(a.x, b.x) < at.x - reach || std::min(a.x, b.x) > at.x + reach)
            continue;
        const int low = std::min(a.y, b.y), high = std::max(a.y, b.y);
        const int distance = at.y < low ? low - at.y : (at.y > high ? at.y - high : 0);
        if (distance <= reach)
            best = std::min(best, distance);
    }
    return best;
}

int ScopeMarker::nearestTrace(const ScreenTraces& screen, Pixel at, int reach)
{
    int best = -1;
    int bestDistance = INT_MAX;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const int distance = traceDistance(screen, c, at, reach);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    return best;
}

void ScopeMarker::update(const ScreenTraces& screen)
{
    if (armed_) {
        armed_ = false;
        placed_ = false;
        const int channel = nearestTrace(screen, armedAt_, kReach);
        const int index = SampleIndexAtX(screen.plot, screen.captureLength, armedAt_.x);
        if (channel < 0 || index < 0 || index >= static_cast<int>(screen.drawnCount(channel)))
            return;
        channel_ = channel;
        sampleIndex_ = index;
        point_ = {armedAt_.x, screen.pixelOf(channel, index).y};
        placed_ = true;
    }
    if (!placed_)
        return;
    // It stays while its own trace still passes through its point.
    if (sampleIndex_ >= static_cast<int>(screen.drawnCount(channel_)) || traceDistance(screen, channel_, point_, 1) == INT_MAX) {
        remove();
        return;
    }
    value_ = (*screen.traces[static_cast<size_t>(channel_)].samples)[static_cast<size_t>(sampleIndex_)];
}

std::string ScopeMarker::Label(int channel, double value)
{
    char text[64];
    switch (channel) {
    case kTorque: std::snprintf(text, sizeof text, "%2.1f %c", value * 0.1, '%'); break;
    case kDeviation: std::snprintf(text, sizeof text, "%2.1f Pulse", value); break;
    default: std::snprintf(text, sizeof text, "%2.1f RPM", value); break;
    }
    return text;
}

std::string ScopeMarker::Readout(int channel, double value)
{
    static const char* const kPrefix[kScopeChannelCount] = {"Speed : ", "Torque : ", "Deviation Count : ",
                                                            "Command :"};
    return kPrefix[channel] + Label(channel, value);
}

std::string ScopeMarker::TimeText(int sampleIndex)
{
    char text[32];
    std::snprintf(text, sizeof text, "%2.1fms", static_cast<double>(sampleIndex));
    return text;
}
