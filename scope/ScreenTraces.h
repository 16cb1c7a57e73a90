#pragma once
// What one drawing of the scope needs: the plot, the screen's length in
// samples, and each channel's samples and limits.

#include "scope/ScopeBuffers.h"
#include "scope/ScopeGeometry.h"

#include <array>
#include <vector>

struct TraceView {
    bool shown = false;
    ChannelLimits limits;
    const std::vector<double>* samples = nullptr;
    uint32_t colour = 0;  // 0xRRGGBB
};

struct ScreenTraces {
    Edges plot;
    int captureLength = 500;
    std::array<TraceView, kScopeChannelCount> traces;

    // Samples drawn of a channel: min(samples, captureLength + 1); none
    // when the channel is not shown.
    size_t drawnCount(int channel) const;
    // Pixel of sample i of a channel.
    Pixel pixelOf(int channel, int i) const;
};
