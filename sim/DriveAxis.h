#pragma once
// The drive's axis: where its position command comes from (the internal
// position modes' command generator, the host's pulse train, a speed or a
// torque command, auto tuning), the servo loop that follows it, and what the
// drive derives from both: position and home reference, status, in-position,
// pulse counts, over-travel and the alarms the motion itself raises. One
// step() is a millisecond.

#include "sim/MotionModel.h"
#include "sim/ServoLoop.h"
#include "sim/StreamPacker.h"

#include <climits>
#include <cstdint>

namespace drivesim {

// Position command sources, servo loop and motion state of one axis.
class DriveAxis {
public:
    static constexpr double kHomeSwitch = -5000;   // the switch's edge, below the power-up point
    static constexpr double kEndStop = kHomeSwitch - 50000;
    static constexpr int kMaxSpeedRpm = 5000;      // moves, jogs and speed commands are capped here
    static constexpr int kOverSpeedRpm = 6000;

    enum class Source { Internal, PulseTrain, Velocity, Torque };
    // The drive's settings and inputs for one millisecond.
    struct Inputs {
        bool servoOn = false;
        Source source = Source::Internal;
        ServoLoop::Gains gains;
        double gear = 1;                  // encoder pulses per command unit
        double pulsesPerMs = 0;           // the host's pulse train, command units
        bool clearDeviation = false;
        int speedCommandRpm = 0;          // velocity control
        int speedAccMs = 0, speedDecMs = 0;
        bool cwLimit = false, ccwLimit = false;   // CW stops negative travel, CCW positive
        int32_t softLimitPositive = INT32_MAX, softLimitNegative = INT32_MIN;
        int inPositionWindow = 10;        // encoder pulses
        double followingErrorLimit = 0;   // encoder pulses; 0 no check
        int onPositionDelayMs = 0;
        double bumpTorque = 1.0;          // rated torques while homing drives into the stop
    };
    // What one millisecond did.
    struct Step {
        uint8_t alarm = 0;
        int64_t commandPulses = 0;        // command units
        int64_t feedbackPulses = 0;       // encoder pulses
    };
    // Status word values (register 2002).
    enum Status : uint16_t { NotReady = 0, Ready = 1, Homing = 2, AtHome = 3, Moving = 4, OnTarget = 5, AtLimit = 7 };

    // `loadInertiaRatio`: the machine's true load inertia over the motor's.
    explicit DriveAxis(double loadInertiaRatio);

    Step step(const Inputs& inputs);

    // Commands of the internal position modes, in command units; targets
    // beyond a software limit stop at it (limits with the positive one not
    // above the negative one are off).
    void moveTo(int32_t target, MotionModel::Profile profile);
    void moveBy(int32_t distance, MotionModel::Profile profile);
    void jogFor(int direction, int ms, MotionModel::Profile profile);
    void jogPulses(int direction, int pulses, MotionModel::Profile profile);
    // `offset` in command units, or in encoder pulses when it skips the gear.
    void home(MotionModel::Homing homing, bool offsetSkipsGear);
    // Auto tuning turns the motor a revolution back and forth.
    void tuningStroke(int direction);
    void halt() { motion_.stop(); }
    // Power-up: the position counts from 0 where the machine stands.
    void powerUp();

    int32_t position() const;
    int32_t homeReference() const;
    void setHomeReference(int32_t value);
    Status status(bool servoOn) const;
    bool busy() const { return motion_.busy(); }
    bool inPosition() const { return inPosition_; }
    double speedRpm() const { return servo_.speed() * 60.0 / MotionModel::kPulsesPerRev; }
    bool torqueLimited() const { return servo_.torqueLimited(); }
    // The four scope signals as the drive measures them now.
    ScopeSample sample() const;

private:
    double commandTarget(double target);
    Step followSource(const Inputs& in, double& command);

    ServoLoop servo_;
    MotionModel motion_;
    double origin_ = 0;               // encoder position of position 0
    double reference_ = kHomeSwitch;  // encoder position the home reference counts from
    double gear_ = 1;
    int32_t softPositive_ = INT32_MAX, softNegative_ = INT32_MIN;
    bool targetLimited_ = false;      // the running move was cut short at a software limit
    double speedCommand_ = 0;         // velocity control's ramped command, pulses/ms
    double commandTotal_ = 0;         // command units counted so far (fractions kept)
    int64_t commandCounted_ = 0, feedbackCounted_ = 0;
    int settledMs_ = 0;
    int onPositionDelayMs_ = 0;
    bool inPosition_ = false;
};

}  // namespace drivesim
