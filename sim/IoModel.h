#pragma once
// The drive's digital inputs (coils 32-42, set by the master or by the
// simulated wiring), its outputs (coils 0-5) and the two pulse sums.

#include <cstdint>

namespace drivesim {

// Pin states and pulse counters.
class IoModel {
public:
    static constexpr int kFirstInput = 32;
    static constexpr int kInputCount = 11;
    static constexpr int kOutputCount = 6;
    static constexpr int kCwLimitCoil = 32;
    static constexpr int kCcwLimitCoil = 33;
    static constexpr int kStartCoil = 35;
    static constexpr int kServoOnCoil = 38;
    static constexpr int kDeviationClearCoil = 39;
    static constexpr int kAlarmClearCoil = 40;
    static constexpr int kControlModeCoil = 41;
    static constexpr int kPulseInhibitCoil = 42;

    // What the outputs are made of.
    struct DriveState {
        bool servoOn;
        bool alarm;
        bool inPosition;
        double speedRpm;
        bool torqueLimited;
        int zeroSpeedRpm;  // the zero-speed output's level
    };

    // Master-written input; returns the state before.
    bool setInput(int coil, bool on);
    bool input(int coil) const { return (written_ >> (coil - kFirstInput)) & 1; }
    // The input pins as read: written states plus the gain-switch input,
    // which the wiring toggles every two seconds.
    uint16_t inputBits(uint64_t nowMs) const;
    static uint8_t outputBits(const DriveState& state);
    // The point number (0-15) selected on coils 42, 39, 37, 34.
    int selectedPoint() const;

    void countPulses(int64_t commanded, int64_t feedback);
    int32_t commandSum() const { return static_cast<int32_t>(commandSum_); }
    int32_t feedbackSum() const { return static_cast<int32_t>(feedbackSum_); }
    void setCommandSum(int32_t value) { commandSum_ = static_cast<uint32_t>(value); }
    void setFeedbackSum(int32_t value) { feedbackSum_ = static_cast<uint32_t>(value); }

private:
    uint16_t written_ = 0;
    uint32_t commandSum_ = 0;  // 32-bit counters wrap like the drive's
    uint32_t feedbackSum_ = 0;
};

}  // namespace drivesim
