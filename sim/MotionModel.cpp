#include "sim/MotionModel.h"

#include <algorithm>
#include <cmath>

namespace drivesim {
namespace {

double pulsesPerMs(int rpm) { return std::abs(rpm) * MotionModel::kPulsesPerRev / 60000.0; }
// Ramp steepness: pulses/ms gained per ms when 1000 rpm take `ms`.
double ramp(int ms) { return pulsesPerMs(1000) / std::max(ms, 1); }
int32_t wrap32(double value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::llround(value)))); }

}  // namespace

void MotionModel::startMove(double targetMech, const Profile& p, Phase phase)
{
    target_ = targetMech;
    maxSpeed_ = std::max(pulsesPerMs(p.speedRpm), 0.01);
    accel_ = ramp(p.accMs);
    decel_ = ramp(p.decMs);
    phase_ = phase;
}

void MotionModel::moveTo(int32_t target, const Profile& p)
{
    startMove(counterOrigin_ + target, p, Phase::Move);
}

void MotionModel::moveBy(int32_t distance, const Profile& p)
{
    // Relative to where the last move ended, so repeated steps do not drift.
    const double base = phase_ == Phase::Move ? target_ : mech_;
    startMove(base + distance, p, Phase::Move);
}

void MotionModel::jogFor(int direction, int ms, const Profile& p)
{
    startMove(mech_ + (direction < 0 ? -1 : 1) * pulsesPerMs(p.speedRpm) * ms, p, Phase::Move);
}

void MotionModel::jogPulses(int direction, int pulses, const Profile& p)
{
    startMove(mech_ + (direction < 0 ? -1 : 1) * pulses, p, Phase::Move);
}

void MotionModel::home(int32_t offset, const Profile& p)
{
    homeOffset_ = offset;
    homeProfile_ = p;
    startMove(0.0, p, Phase::HomeToSwitch);
}

void MotionModel::stop()
{
    phase_ = Phase::Idle;
    velocity_ = 0;
    target_ = mech_;
}

void MotionModel::powerUp()
{
    stop();
    counterOrigin_ = std::round(mech_);
    lastOutcome_ = Ready;
}

void MotionModel::follow(int64_t pulses)
{
    mech_ += static_cast<double>(pulses);
    if (phase_ == Phase::Idle)
        target_ = mech_;
}

void MotionModel::arrive()
{
    mech_ = target_;
    velocity_ = 0;
    if (phase_ == Phase::HomeToSwitch) {
        startMove(homeOffset_, homeProfile_, Phase::HomeToOffset);
        return;
    }
    if (phase_ == Phase::HomeToOffset) {
        counterOrigin_ = mech_;
        refOrigin_ = 0;  // the reference counts from the switch
        lastOutcome_ = AtHome;
    } else {
        lastOutcome_ = OnTarget;
    }
    phase_ = Phase::Idle;
}

int64_t MotionModel::step(bool servoOn)
{
    if (phase_ == Phase::Idle)
        return 0;
    if (!servoOn) {  // a free-running motor coasts to a halt where it is
        stop();
        lastOutcome_ = Ready;
        return 0;
    }
    const double before = mech_;
    const double remaining = target_ - mech_;
    const double direction = remaining < 0 ? -1.0 : 1.0;
    const double distance = std::abs(remaining);
    double speed = velocity_ * direction;
    if (speed < 0) {
        speed = std::min(0.0, speed + decel_);  // turning round: brake first
        velocity_ = speed * direction;
        mech_ += velocity_;
        return std::llround(mech_) - std::llround(before);
    }
    const double brakingDistance = speed * speed / (2.0 * decel_);
    if (distance <= brakingDistance + speed)
        speed = std::max(speed - decel_, std::min(1.0, distance));
    else
        speed = std::min(speed + accel_, maxSpeed_);
    if (speed >= distance) {
        arrive();
    } else {
        velocity_ = speed * direction;
        mech_ += velocity_;
    }
    return std::llround(mech_) - std::llround(before);
}

int32_t MotionModel::position() const { return wrap32(mech_ - counterOrigin_); }
int32_t MotionModel::homeReference() const { return wrap32(mech_ - refOrigin_); }
void MotionModel::setHomeReference(int32_t value) { refOrigin_ = std::round(mech_) - value; }

MotionModel::Status MotionModel::status(bool servoOn) const
{
    if (!servoOn)
        return NotReady;
    if (phase_ == Phase::HomeToSwitch || phase_ == Phase::HomeToOffset)
        return Homing;
    if (phase_ == Phase::Move)
        return Moving;
    return lastOutcome_;
}

}  // namespace drivesim
