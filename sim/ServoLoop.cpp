#include "sim/ServoLoop.h"

#include <algorithm>
#include <cmath>

namespace drivesim {
namespace {

constexpr double kDt = 1e-3 / ServoLoop::kSubsteps;
// Rated torque turns the bare motor up by 5000 revolutions per second per second.
constexpr double kMotorInertia = 2e-8;          // rated torques per pulse/s^2
constexpr double kShaftDamping = 0.1;           // damping ratio of the resonance
constexpr double kCoulomb = 0.02;               // 2 % of rated torque
constexpr double kViscous = 0.01 / 166666.7;    // 1 % more per 1000 rpm
constexpr double kStictionSpeed = 833.3;        // 5 rpm: friction's rise around 0
constexpr double kBrakeRate = 20;               // the dynamic brake with the servo off, 1/s
constexpr double kEndStopHz = 300;
constexpr double kMaxSpeedReference = 7500.0 * 10000 / 60;  // 7500 rpm
constexpr double kRestSpeed = 0.5;              // pulses/s

}  // namespace

ServoLoop::ServoLoop(double loadInertiaRatio, double endStop)
    : endStop_(endStop), motorInertia_(kMotorInertia), loadInertia_(kMotorInertia * std::max(loadInertiaRatio, 0.0))
{
    if (loadInertia_ > 0) {
        const double reduced = motorInertia_ * loadInertia_ / (motorInertia_ + loadInertia_);
        const double omega = 2 * M_PI * kResonanceHz;
        shaftStiffness_ = omega * omega * reduced;
        shaftDamping_ = 2 * kShaftDamping * omega * reduced;
    }
    notch_.configure(0, 1, 1.0 / kDt);
}

void ServoLoop::setGains(const Gains& gains)
{
    if (gains.notchHz != gains_.notchHz || gains.notchQ != gains_.notchQ)
        notch_.configure(gains.notchHz, gains.notchQ, 1.0 / kDt);
    gains_ = gains;
}

void ServoLoop::step(Control control, double command)
{
    const bool byPosition = control == Control::Position;
    const double start = command_;
    const double commandSpeed = byPosition ? (command - start) * 1000.0 : 0.0;
    braking_ = control == Control::Off;
    for (int i = 1; i <= kSubsteps; ++i) {
        // The position command moves on evenly within the millisecond.
        controlSubstep(control, byPosition ? start + (command - start) * i / kSubsteps : command, commandSpeed);
        plantSubstep();
    }
    command_ = byPosition ? command : position_;
    if (braking_)
        settle();
}

void ServoLoop::settle()
{
    if (std::abs(rotorSpeed_) < kRestSpeed && std::abs(speed_) < kRestSpeed && std::abs(rotor_ - position_) < 0.01) {
        rotorSpeed_ = speed_ = 0;
        rotor_ = position_;
    }
}

void ServoLoop::controlSubstep(Control control, double command, double commandSpeed)
{
    if (control == Control::Off) {
        integral_ = filteredTorque_ = feedForward_ = speedReference_ = torque_ = 0;
        notch_.reset();
        limited_ = false;
        return;
    }
    double rawTorque;
    if (control == Control::Torque) {
        speedReference_ = speed_;
        rawTorque = command;
    } else {
        if (control == Control::Position) {
            const double ffTau = gains_.feedForwardFilterMs * 1e-3;
            feedForward_ += (gains_.feedForward * commandSpeed - feedForward_) * kDt / (ffTau + kDt);
            speedReference_ = gains_.positionGain * (command - position_) + feedForward_;
        } else {
            speedReference_ = command;
        }
        speedReference_ = std::clamp(speedReference_, -kMaxSpeedReference, kMaxSpeedReference);
        const double error = speedReference_ - speed_;
        // The gain in Hz holds for the inertia the drive is set for.
        const double gain = 2 * M_PI * gains_.speedGainHz * kMotorInertia * (1.0 + gains_.inertiaRatio);
        // No winding up while the torque stands at its limit.
        if (!limited_ || (error > 0) != (integral_ > 0))
            integral_ += error * kDt;
        rawTorque = gain * (error + integral_ / (std::max(gains_.integralMs, 0.1) * 1e-3));
    }
    const double tau = gains_.torqueFilterMs * 1e-3;
    filteredTorque_ += (rawTorque - filteredTorque_) * kDt / (tau + kDt);
    const double notched = notch_.filter(filteredTorque_);
    torque_ = std::clamp(notched, -gains_.torqueLimit, gains_.torqueLimit);
    limited_ = std::abs(notched) >= gains_.torqueLimit;
}

void ServoLoop::plantSubstep()
{
    const double total = motorInertia_ + loadInertia_;
    double drive = torque_;
    if (braking_)
        drive -= kBrakeRate * total * rotorSpeed_;
    // Friction and the end stop act on the machine.
    double load = -kCoulomb * std::tanh(speed_ / kStictionSpeed) - kViscous * speed_;
    if (position_ < endStop_) {
        const double omega = 2 * M_PI * kEndStopHz;
        load += omega * omega * total * (endStop_ - position_) - omega * total * speed_;
    }
    if (loadInertia_ > 0) {
        const double shaft = shaftStiffness_ * (rotor_ - position_) + shaftDamping_ * (rotorSpeed_ - speed_);
        rotorSpeed_ += (drive - shaft) / motorInertia_ * kDt;
        speed_ += (shaft + load) / loadInertia_ * kDt;
        rotor_ += rotorSpeed_ * kDt;
        position_ += speed_ * kDt;
    } else {  // a bare motor: one rigid mass
        speed_ += (drive + load) / motorInertia_ * kDt;
        position_ += speed_ * kDt;
        rotor_ = position_;
        rotorSpeed_ = speed_;
    }
}

}  // namespace drivesim
