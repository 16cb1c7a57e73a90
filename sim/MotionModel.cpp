#include "sim/MotionModel.h"

#include <algorithm>
#include <cmath>

namespace drivesim {
namespace {

double pulsesPerMs(int rpm) { return std::abs(rpm) * MotionModel::kPulsesPerRev / 60000.0; }
// Ramp steepness: pulses/ms gained per ms when 1000 rpm take `ms`.
double ramp(int ms) { return pulsesPerMs(1000) / std::max(ms, 1); }

}  // namespace

void MotionModel::alignTo(double position)
{
    phase_ = Phase::Idle;
    outcome_ = Outcome::None;
    command_ = target_ = position;
    speed_ = lastStep_ = 0;
}

void MotionModel::startMove(double target, const Profile& p, Phase phase)
{
    target_ = target;
    maxSpeed_ = std::max(pulsesPerMs(p.speedRpm), 0.01);
    accel_ = ramp(p.accMs);
    decel_ = ramp(p.decMs);
    phase_ = phase;
    outcome_ = Outcome::None;
}

void MotionModel::moveTo(double target, const Profile& p)
{
    startMove(target, p, Phase::Move);
}

void MotionModel::home(const Homing& homing)
{
    homing_ = homing;
    pushingMs_ = 0;
    outcome_ = Outcome::None;
    accel_ = ramp(homing.profile.accMs);
    decel_ = ramp(homing.profile.decMs);
    switch (homing.mode) {
    case HomingMode::Switch:
        phase_ = Phase::Seek;
        break;
    case HomingMode::Bump:
        phase_ = Phase::Bump;
        break;
    case HomingMode::Here:
        found_ = command_;
        startMove(found_ + homing.offset, homing.profile, Phase::Offset);
        break;
    }
}

void MotionModel::stop()
{
    phase_ = Phase::Idle;
    speed_ = 0;
    target_ = command_;
}

void MotionModel::runToward(double speed)
{
    if (speed_ < speed)
        speed_ = std::min(speed, speed_ + (speed_ < 0 ? decel_ : accel_));
    else if (speed_ > speed)
        speed_ = std::max(speed, speed_ - (speed_ > 0 ? decel_ : accel_));
    command_ += speed_;
}

void MotionModel::stepMove()
{
    const double remaining = target_ - command_;
    const double direction = remaining < 0 ? -1.0 : 1.0;
    const double distance = std::abs(remaining);
    double speed = speed_ * direction;
    if (speed < 0) {  // heading away from the target: brake first
        speed_ = std::min(0.0, speed + decel_) * direction;
        command_ += speed_;
        return;
    }
    const double brakingDistance = speed * speed / (2.0 * decel_);
    if (distance <= brakingDistance + speed)
        speed = std::max(speed - decel_, std::min(1.0, distance));
    else
        speed = std::min(speed + accel_, maxSpeed_);
    if (speed >= distance) {
        command_ = target_;
        speed_ = 0;
        arrive();
    } else {
        speed_ = speed * direction;
        command_ += speed_;
    }
}

void MotionModel::arrive()
{
    outcome_ = phase_ == Phase::Offset ? Outcome::Home : Outcome::Target;
    phase_ = Phase::Idle;
}

void MotionModel::step(const Feedback& fb)
{
    const double before = command_;
    switch (phase_) {
    case Phase::Idle:
        break;
    case Phase::Move:
    case Phase::Offset:
        stepMove();
        break;
    case Phase::Seek:  // down toward the switch at the homing speed
        if (fb.onSwitch)
            phase_ = Phase::Brake;
        else
            runToward(-pulsesPerMs(homing_.profile.speedRpm));
        break;
    case Phase::Brake:
        runToward(0);
        if (speed_ == 0)
            phase_ = Phase::Leave;
        break;
    case Phase::Leave:  // creep back up until the switch lets go: its edge is home
        if (!fb.onSwitch) {
            found_ = fb.position;
            speed_ = 0;
            startMove(found_ + homing_.offset, homing_.profile, Phase::Offset);
        } else {
            runToward(pulsesPerMs(homing_.creepRpm));
        }
        break;
    case Phase::Bump:  // creep down into the stop until the torque has pushed long enough
        pushingMs_ = fb.pushing ? pushingMs_ + 1 : 0;
        if (pushingMs_ >= std::max(homing_.bumpTimeMs, 1)) {
            found_ = fb.position;
            command_ = fb.position;  // stop pushing
            speed_ = 0;
            startMove(found_ + homing_.offset, homing_.profile, Phase::Offset);
        } else {
            runToward(-pulsesPerMs(homing_.creepRpm));
        }
        break;
    }
    lastStep_ = command_ - before;
}

}  // namespace drivesim
