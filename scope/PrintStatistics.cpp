#include "scope/PrintStatistics.h"

#include <algorithm>

ChannelStatistics StartingStatistics(int channel)
{
    const double limit = channel == kDeviation ? 2e27 : 6000;
    return {-limit, 0, limit, false};
}

std::array<ChannelStatistics, kScopeChannelCount> PrintStatistics(
    const ChannelSamples& samples, const std::array<bool, kScopeChannelCount>& checked,
    const std::array<double, kScopeChannelCount>& verticalPositions, int captureLength)
{
    std::array<ChannelStatistics, kScopeChannelCount> result;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const size_t index = static_cast<size_t>(c);
        result[index] = StartingStatistics(c);
        const std::vector<double>& buffer = samples[index];
        const size_t n = std::min(buffer.size(), static_cast<size_t>(std::max(captureLength, 0)) + 1);
        if (!checked[index] || n == 0)
            continue;
        // The extremes are the samples' own: a fixed starting bound would
        // print 6000 as the minimum of samples that all lie above it.
        const double offset = verticalPositions[index];
        double max = buffer[0] + offset, min = max, sum = 0;
        for (size_t i = 0; i < n; ++i) {
            const double value = buffer[i] + offset;
            max = std::max(max, value);
            min = std::min(min, value);
            sum += value;
        }
        result[index] = {max - offset, sum / static_cast<double>(n) - offset, min - offset};
    }
    return result;
}
