#pragma once
// Captures a window of samples around a rising edge of the trigger channel.
// Each stream slot keeps a sliding staging window of the newest N + 1
// samples (N the capture length); when the trigger slot rises through the
// level, every slot keeps the trigger sample and the P samples before it,
// refills to N + 1 samples, and the capture is complete. It then re-arms.

#include "scope/StreamDecoder.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

// The trigger settings for one record, refreshed before each.
struct TriggerParameters {
    int captureLength = 500;  // N
    int preTrigger = 250;     // P, the samples kept ahead of the trigger sample
    int level = 10;           // raw counts of the trigger channel
    int sourceChannel = -1;   // channel index; -1 never triggers
};

// P for a capture length and a Horizontal percentage, as the drive tool has
// always worked it out: N x (H / 100), held as a float, truncated.
int PreTriggerCount(int captureLength, int horizontalPercent);
// Horizontal values the trigger accepts.
constexpr bool HorizontalInRange(int percent) { return percent >= 1 && percent <= 99; }

class TriggerCapture {
public:
    // Empties the staging windows and disarms the pending work.
    void reset();
    // Takes one record; true when it completed a capture, which capture()
    // then holds for every slot in use (N + 1 samples each, trigger sample
    // at index P).
    bool addRecord(const DecodedRecord& record, const TriggerParameters& parameters);

    const std::vector<double>& capture(int slotIndex) const { return captures_[static_cast<size_t>(slotIndex)]; }
    const std::deque<double>& staging(int slotIndex) const { return staging_[static_cast<size_t>(slotIndex)]; }
    bool triggered() const { return triggered_; }

private:
    static void dropFront(std::deque<double>& window, long count);

    std::array<std::deque<double>, kStreamSlotCount> staging_;
    std::array<std::vector<double>, kStreamSlotCount> captures_;
    bool triggered_ = false;
    uint8_t trimPending_ = 0;  // bit k: slot k + 1 must still drop what lies ahead of P
    uint8_t copyPending_ = 0;  // bit k: slot k + 1 must still hand over its capture
    long lastTriggerIndex_ = 0;
};
