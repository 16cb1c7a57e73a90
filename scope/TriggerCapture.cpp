#include "scope/TriggerCapture.h"

#include <cmath>

int PreTriggerCount(int captureLength, int horizontalPercent)
{
    const float count = static_cast<float>(captureLength * (horizontalPercent / 100.0));
    return static_cast<int>(count);
}

void TriggerCapture::reset()
{
    for (auto& window : staging_)
        window.clear();
    triggered_ = false;
    trimPending_ = 0;
    copyPending_ = 0;
    lastTriggerIndex_ = 0;
}

void TriggerCapture::dropFront(std::deque<double>& window, long count)
{
    for (; count > 0 && !window.empty(); --count)
        window.pop_front();
}

bool TriggerCapture::addRecord(const DecodedRecord& record, const TriggerParameters& p)
{
    const int used = record.layout.used;
    int triggerSlot = -1;
    for (int k = 0; k < used; ++k) {
        staging_[static_cast<size_t>(k)].push_back(record.value[static_cast<size_t>(k)]);
        if (record.layout.channel[static_cast<size_t>(k)] == p.sourceChannel)
            triggerSlot = k;
    }
    const size_t full = static_cast<size_t>(p.captureLength) + 1;
    const uint8_t allSlots = static_cast<uint8_t>((1u << used) - 1);
    bool completed = false;
    if (triggerSlot >= 0) {
        std::deque<double>& s = staging_[static_cast<size_t>(triggerSlot)];
        const uint8_t others = static_cast<uint8_t>(allSlots & ~(1u << triggerSlot));
        const size_t n = s.size();
        lastTriggerIndex_ = static_cast<long>(n) - 1;
        if (n > full) {
            // Rising through the level: below it before, at or above it now.
            const long previous = static_cast<long>(std::trunc(s[n - 2]));
            const long last = static_cast<long>(std::trunc(s[n - 1]));
            if (previous < p.level && p.level <= last) {
                triggered_ = true;
                trimPending_ = others;
                dropFront(s, lastTriggerIndex_ - p.preTrigger);
            }
        }
        if (s.size() > full && triggered_) {
            captures_[static_cast<size_t>(triggerSlot)].assign(s.begin(), s.begin() + static_cast<long>(full));
            triggered_ = false;
            copyPending_ = others;
            completed = true;
        }
    }
    // The other slots follow within the same record, so every slot's window
    // covers the same records as the trigger slot's.
    for (int k = 0; k < used; ++k) {
        const uint8_t bit = static_cast<uint8_t>(1u << k);
        std::deque<double>& s = staging_[static_cast<size_t>(k)];
        if (trimPending_ & bit) {
            trimPending_ &= static_cast<uint8_t>(~bit);
            dropFront(s, lastTriggerIndex_ - p.preTrigger);
        }
        if (copyPending_ & bit) {
            copyPending_ &= static_cast<uint8_t>(~bit);
            const size_t take = s.size() < full ? s.size() : full;
            captures_[static_cast<size_t>(k)].assign(s.begin(), s.begin() + static_cast<long>(take));
        }
    }
    for (int k = 0; k < used; ++k) {
        std::deque<double>& s = staging_[static_cast<size_t>(k)];
        while (s.size() > full)
            s.pop_front();
    }
    return completed;
}
