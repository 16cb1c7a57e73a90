#pragma once
// The four channels' display buffers (raw counts, oldest first) behind the
// one lock that the acquisition thread and the GUI thread share. The
// acquisition appends and trims, or replaces a whole capture; the GUI takes
// copies to draw, save and print.

#include "scope/ScopeChannels.h"

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

using ChannelSamples = std::array<std::vector<double>, kScopeChannelCount>;

class ScopeBuffers {
public:
    // Appends one sample per (channel, value) pair and trims each touched
    // buffer to its newest `keep` samples: the rolling scan display.
    void appendRolling(const int* channels, const int16_t* values, int count, size_t keep);
    // Puts whole captures in place at once, so a drawing never shows one
    // channel from a new capture beside another from the old one.
    void replaceCaptures(const int* channels, const std::vector<double>* captures, int count);
    void replace(int channel, std::vector<double> samples);
    // Empties every buffer and gives its memory back.
    void clearAll();

    ChannelSamples snapshot() const;
    std::vector<double> samples(int channel) const;
    size_t size(int channel) const;
    // Completed trigger captures since the last clearAll().
    uint64_t captureCount() const;

private:
    mutable std::mutex mutex_;
    std::array<std::deque<double>, kScopeChannelCount> buffers_;
    uint64_t captures_ = 0;
};
