#pragma once
// Auto Set: the Vol/Div entry that shows a channel's recorded samples.

#include <vector>

// Takes the largest and the smallest sample (both starting at 0), each
// truncated toward zero to a multiple of 100 from a magnitude of 500, of
// 10 below; doubles the larger magnitude (at least 10) and returns the
// index of the first entry of the channel's Vol/Div list above it (Pulse
// Deviation entries count as 2^n), or the last entry.
int AutoSetEntryIndex(int channel, const std::vector<double>& samples);
