#include "sim/DriveAxis.h"

#include "sim/AlarmLog.h"

#include <algorithm>
#include <cmath>

namespace drivesim {
namespace {

constexpr double kRpmToPulsesPerMs = MotionModel::kPulsesPerRev / 60000.0;
const MotionModel::Profile kTuningStroke{500, 50, 50};

int32_t wrap32(double value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::llround(value)))); }
int16_t toSample(double value) { return static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L)); }

MotionModel::Profile capped(MotionModel::Profile p)
{
    p.speedRpm = std::min(std::abs(p.speedRpm), DriveAxis::kMaxSpeedRpm);
    return p;
}

// The next value of a ramped speed (pulses/ms) heading for `target`.
double ramped(double speed, double target, int accMs, int decMs)
{
    const double up = 1000 * kRpmToPulsesPerMs / std::max(accMs, 1);
    const double down = 1000 * kRpmToPulsesPerMs / std::max(decMs, 1);
    if (speed < target)
        return std::min(target, speed + (speed < 0 ? down : up));
    return std::max(target, speed - (speed > 0 ? down : up));
}

}  // namespace

DriveAxis::DriveAxis(double loadInertiaRatio) : servo_(loadInertiaRatio, kEndStop)
{
    motion_.alignTo(0);
}

double DriveAxis::commandTarget(double target)
{
    // Limits that leave no travel (both 0, as a cleared block has them) are off.
    if (softPositive_ <= softNegative_) {
        targetLimited_ = false;
        return origin_ + target * gear_;
    }
    const double limited = std::clamp(target, double(softNegative_), double(softPositive_));
    targetLimited_ = limited != target;
    return origin_ + limited * gear_;
}

void DriveAxis::moveTo(int32_t target, MotionModel::Profile profile)
{
    motion_.moveTo(commandTarget(target), capped(profile));
}

void DriveAxis::moveBy(int32_t distance, MotionModel::Profile profile)
{
    // From where the running move ends, so repeated steps do not drift.
    const double base = (motion_.busy() && !motion_.homing() ? motion_.target() : motion_.command()) - origin_;
    motion_.moveTo(commandTarget(std::round(base / gear_) + distance), capped(profile));
}

void DriveAxis::jogFor(int direction, int ms, MotionModel::Profile profile)
{
    profile = capped(profile);
    const double pulses = (direction < 0 ? -1 : 1) * profile.speedRpm * kRpmToPulsesPerMs * ms;
    motion_.moveTo(commandTarget((motion_.command() + pulses - origin_) / gear_), profile);
}

void DriveAxis::jogPulses(int direction, int pulses, MotionModel::Profile profile)
{
    const double units = (motion_.command() - origin_) / gear_ + (direction < 0 ? -pulses : pulses);
    motion_.moveTo(commandTarget(units), capped(profile));
}

void DriveAxis::home(MotionModel::Homing homing, bool offsetSkipsGear)
{
    if (!offsetSkipsGear)
        homing.offset *= gear_;
    homing.profile = capped(homing.profile);
    homing.creepRpm = std::min(std::abs(homing.creepRpm), kMaxSpeedRpm);
    targetLimited_ = false;
    motion_.home(homing);
}

void DriveAxis::tuningStroke(int direction)
{
    targetLimited_ = false;
    motion_.moveTo(motion_.command() + (direction < 0 ? -1 : 1) * MotionModel::kPulsesPerRev, kTuningStroke);
}

void DriveAxis::powerUp()
{
    motion_.alignTo(servo_.position());
    origin_ = std::round(servo_.position());
    reference_ = kHomeSwitch;
    targetLimited_ = false;
    speedCommand_ = commandTotal_ = 0;
    commandCounted_ = 0;
    settledMs_ = 0;
}

DriveAxis::Step DriveAxis::step(const Inputs& in)
{
    gear_ = in.gear > 0 ? in.gear : 1;
    softPositive_ = in.softLimitPositive;
    softNegative_ = in.softLimitNegative;
    ServoLoop::Gains gains = in.gains;
    if (motion_.bumping())
        gains.torqueLimit = std::min(gains.torqueLimit, in.bumpTorque);
    servo_.setGains(gains);

    Step out;
    double command = 0;
    if (!in.servoOn) {
        servo_.step(ServoLoop::Control::Off, 0);
        motion_.alignTo(servo_.position());
        speedCommand_ = 0;
    } else {
        out = followSource(in, command);
    }
    commandTotal_ += command;
    out.commandPulses = std::llround(commandTotal_) - commandCounted_;
    commandCounted_ += out.commandPulses;
    out.feedbackPulses = std::llround(servo_.position()) - feedbackCounted_;
    feedbackCounted_ += out.feedbackPulses;

    if (in.servoOn && out.alarm == 0) {
        if (std::abs(speedRpm()) > kOverSpeedRpm)
            out.alarm = AlarmLog::OverSpeed;
        else if (in.followingErrorLimit > 0 && std::abs(servo_.deviation()) > in.followingErrorLimit)
            out.alarm = AlarmLog::ExcessDeviation;
    }
    const bool within = std::abs(servo_.deviation()) <= std::max(in.inPositionWindow, 0);
    settledMs_ = in.servoOn && within && !motion_.busy() ? settledMs_ + 1 : 0;
    inPosition_ = settledMs_ > std::max(in.onPositionDelayMs, 0);
    return out;
}

DriveAxis::Step DriveAxis::followSource(const Inputs& in, double& command)
{
    Step out;
    double direction = 0;
    switch (in.source) {
    case Source::Internal: {
        const bool wasHoming = motion_.homing();
        const double position = servo_.position();
        motion_.step({position, position <= kHomeSwitch, servo_.torqueLimited()});
        if (wasHoming && motion_.outcome() == MotionModel::Outcome::Home) {
            origin_ = motion_.command();
            reference_ = motion_.homeFound();
        }
        servo_.step(ServoLoop::Control::Position, motion_.command());
        direction = motion_.commandStep();
        command = direction / gear_;
        break;
    }
    case Source::PulseTrain:
        if (in.clearDeviation)
            servo_.clearDeviation();
        servo_.step(ServoLoop::Control::Position, servo_.commandPosition() + in.pulsesPerMs * gear_);
        motion_.alignTo(servo_.commandPosition());
        direction = command = in.pulsesPerMs;
        break;
    case Source::Velocity: {
        const double target = std::clamp(in.speedCommandRpm, -kMaxSpeedRpm, kMaxSpeedRpm) * kRpmToPulsesPerMs;
        speedCommand_ = ramped(speedCommand_, target, in.speedAccMs, in.speedDecMs);
        servo_.step(ServoLoop::Control::Speed, speedCommand_ * 1000.0);
        motion_.alignTo(servo_.position());
        direction = speedCommand_;
        break;
    }
    case Source::Torque:
        servo_.step(ServoLoop::Control::Torque, 0);
        motion_.alignTo(servo_.position());
        break;
    }
    // Over-travel: a limit input stops travel its way, and the drive trips.
    if ((direction > 0 && in.ccwLimit) || (direction < 0 && in.cwLimit)) {
        motion_.stop();
        out.alarm = AlarmLog::RunInhibited;
    }
    return out;
}

int32_t DriveAxis::position() const { return wrap32((servo_.position() - origin_) / gear_); }
int32_t DriveAxis::homeReference() const { return wrap32(servo_.position() - reference_); }
void DriveAxis::setHomeReference(int32_t value) { reference_ = std::round(servo_.position()) - value; }

DriveAxis::Status DriveAxis::status(bool servoOn) const
{
    if (!servoOn)
        return NotReady;
    if (motion_.homing())
        return Homing;
    if (motion_.busy())
        return Moving;
    switch (motion_.outcome()) {
    case MotionModel::Outcome::Home: return inPosition_ ? AtHome : Homing;
    case MotionModel::Outcome::Target: return inPosition_ ? (targetLimited_ ? AtLimit : OnTarget) : Moving;
    case MotionModel::Outcome::None: break;
    }
    return Ready;
}

ScopeSample DriveAxis::sample() const
{
    ScopeSample s;
    s.deviation = toSample(servo_.deviation());
    s.speedCommand = toSample(servo_.speedReference() * 60.0 / MotionModel::kPulsesPerRev);
    s.speed = toSample(speedRpm());
    s.torque = toSample(servo_.torque() * 1000.0);
    return s;
}

}  // namespace drivesim
