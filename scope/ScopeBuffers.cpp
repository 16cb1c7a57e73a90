#include "scope/ScopeBuffers.h"

void ScopeBuffers::appendRolling(const int* channels, const int16_t* values, int count, size_t keep)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (int k = 0; k < count; ++k) {
        std::deque<double>& buffer = buffers_[static_cast<size_t>(channels[k])];
        buffer.push_back(values[k]);
        while (buffer.size() > keep)
            buffer.pop_front();
    }
}

void ScopeBuffers::replaceCaptures(const int* channels, const std::vector<double>* captures, int count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (int k = 0; k < count; ++k)
        buffers_[static_cast<size_t>(channels[k])].assign(captures[k].begin(), captures[k].end());
    ++captures_;
}

void ScopeBuffers::replace(int channel, std::vector<double> samples)
{
    std::lock_guard<std::mutex> lock(mutex_);
    buffers_[static_cast<size_t>(channel)].assign(samples.begin(), samples.end());
}

void ScopeBuffers::clearAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& buffer : buffers_)
        std::deque<double>().swap(buffer);
    captures_ = 0;
}

ChannelSamples ScopeBuffers::snapshot() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    ChannelSamples copy;
    for (size_t c = 0; c < copy.size(); ++c)
        copy[c].assign(buffers_[c].begin(), buffers_[c].end());
    return copy;
}

std::vector<double> ScopeBuffers::samples(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto& buffer = buffers_[static_cast<size_t>(channel)];
    return std::vector<double>(buffer.begin(), buffer.end());
}

size_t ScopeBuffers::size(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return buffers_[static_cast<size_t>(channel)].size();
}

uint64_t ScopeBuffers::captureCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return captures_;
}
