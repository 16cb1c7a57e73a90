#pragma once
// The drive's off-line auto gain tuning on register 0x0091: writing
// stiffness + 1 starts it; reading gives idle, tuning, success, servo off or
// error. A run turns the motor back and forth while the inertia ratio (Pr.20)
// creeps toward what it measures; on success the whole gain set follows the
// stiffness. An alarm or a limit input during a run ends it with an error.

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
        int failAtRun = 0;            // this run (1 the first) ends in an error; 0 none
    };
    using Parameters = std::array<int16_t, 128>;

    explicit TuningMachine(Settings settings) : settings_(settings) {}

    // Accepts 0 (stop) and 1-16 (start at stiffness value - 1).
    static bool acceptsCommand(uint16_t value) { return value <= kStiffnessLevels; }
    // The parameters a successful run at `stiffness` (0-15) leaves, with
    // the inertia ratio it measured.
    static void applyGains(int stiffness, int16_t inertiaRatio, Parameters& params);

    void command(uint16_t value, bool servoOn, uint64_t nowMs, const Parameters& params);
    // Moves the run on. `fault`: an alarm is current or a limit input is on.
    void advance(uint64_t nowMs, bool servoOn, bool fault, Parameters& params);
    // The direction of the next stroke of a run: +1, -1, +1, ...
    int nextStroke() { return (strokes_++ % 2) ? -1 : 1; }

    Status status() const { return status_; }
    bool running() const { return status_ == Tuning; }

private:
    void fail(Status status, Parameters& params);

    Settings settings_;
    Status status_ = Idle;
    int stiffness_ = 0;
    int runs_ = 0;
    int strokes_ = 0;
    uint64_t startMs_ = 0;
    int16_t inertiaAtStart_ = 0;
};

}  // namespace drivesim
