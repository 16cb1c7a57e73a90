#pragma once
// The drive's command generator for the internal position modes: moves to
// targets with trapezoidal speed profiles, jogs, and the homing sequence. It
// makes the position command a millisecond at a time, in encoder pulses; the
// servo loop makes the machine follow it.

#include <cstdint>

namespace drivesim {

// Position command profiles and homing.
class MotionModel {
public:
    static constexpr double kPulsesPerRev = 10000.0;

    // Speed in rpm; acceleration and deceleration in ms per 1000 rpm.
    struct Profile {
        int speedRpm;
        int accMs;
        int decMs;
    };
    // Homing modes: to the home switch, against the lower mechanical stop,
    // or here.
    enum class HomingMode { Switch = 0, Bump = 1, Here = 2 };
    struct Homing {
        HomingMode mode;
        double offset;     // pulses from the home found to position 0
        Profile profile;   // homing speed and ramps
        int creepRpm;      // leaving the switch, or driving into the stop
        int bumpTimeMs;    // torque at the bump limit this long finds the stop
    };
    // What homing sees of the machine each millisecond.
    struct Feedback {
        double position;   // at the encoder
        bool onSwitch;
        bool pushing;      // the torque stands at its limit
    };
    // How the last command ended.
    enum class Outcome { None, Target, Home };

    // The command stands at `position`, nothing runs (servo off, another mode).
    void alignTo(double position);
    void moveTo(double target, const Profile& profile);
    void home(const Homing& homing);
    // Stops the command where it is: an alarm, a limit.
    void stop();
    // One millisecond.
    void step(const Feedback& feedback);

    double command() const { return command_; }
    double commandStep() const { return lastStep_; }  // pulses in the last millisecond
    double target() const { return target_; }
    bool busy() const { return phase_ != Phase::Idle; }
    bool homing() const { return busy() && phase_ != Phase::Move; }
    // Driving into the stop: the torque is held at the bump limit.
    bool bumping() const { return phase_ == Phase::Bump; }
    Outcome outcome() const { return outcome_; }
    // Where the last homing found home: the switch's edge or the stop.
    double homeFound() const { return found_; }

private:
    enum class Phase { Idle, Move, Seek, Brake, Leave, Bump, Offset };
    void startMove(double target, const Profile& profile, Phase phase);
    void stepMove();
    // Ramps the command speed toward `speed` (pulses/ms, signed).
    void runToward(double speed);
    void arrive();

    Phase phase_ = Phase::Idle;
    Outcome outcome_ = Outcome::None;
    double command_ = 0;
    double speed_ = 0;          // pulses per ms, signed
    double lastStep_ = 0;
    double target_ = 0;
    double maxSpeed_ = 1, accel_ = 1, decel_ = 1;
    Homing homing_{};
    int pushingMs_ = 0;
    double found_ = 0;
};

}  // namespace drivesim
