#include "sim/UsbBatcher.h"

namespace drivesim {

void UsbBatcher::take(uint64_t nowUs, std::vector<uint8_t>& out)
{
    if (!active()) {
        out.insert(out.end(), waiting_.begin(), waiting_.end());
        waiting_.clear();
        return;
    }
    // Full packets go at once; the timer sends what is left when it ticks.
    size_t sent = 0;
    while (waiting_.size() - sent >= kPacketBytes)
        sent += kPacketBytes;
    const uint64_t tick = nowUs / latencyUs_;
    if (started_ && tick != tick_)
        sent = waiting_.size();
    started_ = true;
    tick_ = tick;
    out.insert(out.end(), waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(sent));
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(sent));
}

uint64_t UsbBatcher::nextDueUs() const
{
    if (waiting_.empty())
        return UINT64_MAX;
    return waiting_.size() >= kPacketBytes || !active() ? 0 : (tick_ + 1) * latencyUs_;
}

}  // namespace drivesim
