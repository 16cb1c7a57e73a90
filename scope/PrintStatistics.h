#pragma once
// Each channel's maximum, average and minimum over the samples on the
// screen, as the printed page lists them, in raw counts.

#include "scope/ScopeBuffers.h"

#include <array>

struct ChannelStatistics {
    double max = 0, average = 0, min = 0;
    bool measured = true;  // false: the starting values, no samples behind them
};

// The values of a channel without samples (or unchecked): -6000 and 6000,
// for Pulse Deviation -2e27 and 2e27, with an average of 0. The printed page
// shows "-" for them: a 28-digit bound tells the reader nothing and runs
// into the next column.
ChannelStatistics StartingStatistics(int channel);

// Over samples 0 .. min(samples, captureLength + 1) - 1 of each checked
// channel. The vertical position is added to each sample for the sums and
// taken off the results again, so they are in sample units.
std::array<ChannelStatistics, kScopeChannelCount> PrintStatistics(
    const ChannelSamples& samples, const std::array<bool, kScopeChannelCount>& checked,
    const std::array<double, kScopeChannelCount>& verticalPositions, int captureLength);
