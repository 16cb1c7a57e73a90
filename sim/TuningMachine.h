#pragma once
// The drive's off-line auto gain tuning on register 0x0091: writing
// stiffness + 1 starts it; reading gives idle, tuning, success, servo off or
// error. On success the gains follow the stiffness and Pr.20 holds the
// measured inertia ratio.

#include <array>
#include <cstdint>

namespace drivesim {

// Auto-tuning state machine, advanced by the drive's clock.
class TuningMachine {
public:
    enum Status : uint16_t { Idle = 0, Tuning = 1, Success = 2, ServoOff = 3, Error = 4 };
    static constexpr int kStiffnessLevels = 16;

    struct Settings {
        uint32_t durationMs = 3000;
        int16_t inertiaResult = 250;  // Pr.20 after success (%)
        Status outcome = Success;     // Error or ServoOff make every run fail so
    };
    using Parameters = std::array<int16_t, 128>;

    explicit TuningMachine(Settings settings) : settings_(settings) {}

    // Accepts 0 (stop) and 1-16 (start at stiffness value - 1).
    static bool acceptsCommand(uint16_t value) { return value <= kStiffnessLevels; }
    void command(uint16_t value, bool servoOn, uint64_t nowMs, const Parameters& params);
    // Moves the run on; while tuning Pr.20 creeps toward the result, and on
    // success the gain parameters change.
    void advance(uint64_t nowMs, bool servoOn, Parameters& params);

    Status status() const { return status_; }
    bool running() const { return status_ == Tuning; }

private:
    Settings settings_;
    Status status_ = Idle;
    int stiffness_ = 0;
    uint64_t startMs_ = 0;
    int16_t inertiaAtStart_ = 0;
};

}  // namespace drivesim
