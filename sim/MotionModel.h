#pragma once
// The motor and its position loop for the internal position modes: moves to
// absolute and relative targets with trapezoidal speed profiles, jogs,
// homing to a switch, and the home reference position. One step is one
// millisecond; the encoder gives 10000 pulses per revolution.

#include <cstdint>

namespace drivesim {

// Motor position, moves and homing.
class MotionModel {
public:
    static constexpr double kPulsesPerRev = 10000.0;
    // At power-up the motor stands this many pulses above the home switch.
    static constexpr int64_t kStartAboveSwitch = 5000;

    // Speed in rpm; acceleration and deceleration in ms per 1000 rpm.
    struct Profile {
        int speedRpm;
        int accMs;
        int decMs;
    };
    // What the drive reports in its status word (2002).
    enum Status : uint16_t { NotReady = 0, Ready = 1, Homing = 2, AtHome = 3, Moving = 4, OnTarget = 5 };

    void moveTo(int32_t target, const Profile& profile);
    void moveBy(int32_t distance, const Profile& profile);
    // Continuous jog for a time, or a jog by a number of pulses.
    void jogFor(int direction, int ms, const Profile& profile);
    void jogPulses(int direction, int pulses, const Profile& profile);
    // Drives to the home switch, then on by `offset`, and makes that point
    // position 0 with the home reference counted from the switch.
    void home(int32_t offset, const Profile& profile);
    void stop();
    // The drive powers up: the motor stands where it is, which becomes
    // position 0 again; homing is forgotten.
    void powerUp();
    // Turns the motor by pulses from the outside (a command pulse train).
    void follow(int64_t pulses);

    // One millisecond; returns the pulses moved.
    int64_t step(bool servoOn);

    int32_t position() const;
    int32_t homeReference() const;
    void setHomeReference(int32_t value);
    bool moving() const { return phase_ != Phase::Idle; }
    double speedRpm() const { return velocity_ * 60000.0 / kPulsesPerRev; }
    Status status(bool servoOn) const;

private:
    enum class Phase { Idle, Move, HomeToSwitch, HomeToOffset };
    void startMove(double targetMech, const Profile& profile, Phase phase);
    void arrive();

    double mech_ = kStartAboveSwitch;  // mechanical position, switch at 0
    double counterOrigin_ = kStartAboveSwitch;
    double refOrigin_ = 0;
    double target_ = kStartAboveSwitch;
    double velocity_ = 0;  // pulses per ms, signed
    double maxSpeed_ = 0, accel_ = 1, decel_ = 1;
    Phase phase_ = Phase::Idle;
    int32_t homeOffset_ = 0;
    Profile homeProfile_{};
    Status lastOutcome_ = Ready;
};

}  // namespace drivesim
