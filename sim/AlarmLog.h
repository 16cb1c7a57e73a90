#pragma once
// The drive's current alarm and its history of 16 codes, newest first.

#include <array>
#include <cstdint>
#include <vector>

namespace drivesim {

// Current alarm code and alarm history.
class AlarmLog {
public:
    static constexpr int kHistory = 16;
    // Codes the drive raises by itself.
    enum Code : uint8_t { ExcessDeviation = 24, OverSpeed = 26, RunInhibited = 38 };

    // A raised alarm becomes current and the newest history record.
    void raise(uint8_t code);
    // Replaces the history (newest first); extra codes are ignored.
    void setHistory(const std::vector<uint8_t>& newestFirst);
    // The alarm-clear input: the current alarm goes, the history stays.
    void clearCurrent() { current_ = 0; }

    uint8_t current() const { return current_; }
    uint8_t history(int record) const { return history_[record]; }

private:
    uint8_t current_ = 0;
    std::array<uint8_t, kHistory> history_{};
};

}  // namespace drivesim
