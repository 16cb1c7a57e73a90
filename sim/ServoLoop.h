#pragma once
// The drive's control loops and the machine they turn. A position loop
// (proportional, with speed feed-forward) feeds a PI speed loop whose torque
// command passes the torque filter, the notch filter and the torque limit.
// The motor turns the machine through a compliant shaft, and the encoder sits
// on the machine's side of it, so the shaft's resonance lies inside the
// loops: a speed gain set too high makes them sing at it, and a notch at the
// resonance lets them go higher. Friction slows the machine, and its travel
// ends at a mechanical stop below the home switch. One step() is a
// millisecond, computed in sub-steps. Positions are encoder pulses, speeds
// pulses per second, torques rated torques (1.0 = 100 %).

#include "sim/NotchFilter.h"

namespace drivesim {

// Cascaded servo control of a two-mass drive train.
class ServoLoop {
public:
    static constexpr int kSubsteps = 8;              // 8 kHz control
    static constexpr double kResonanceHz = 400;      // the shaft's resonance

    struct Gains {
        double positionGain = 35;          // 1/s
        double speedGainHz = 35;           // speed loop bandwidth for the set inertia
        double integralMs = 16;            // speed loop integral time
        double torqueFilterMs = 0.65;      // first-order lag of the torque command
        double inertiaRatio = 1.0;         // load/motor inertia the drive is set for
        double feedForward = 0;            // share of the command speed fed forward
        double feedForwardFilterMs = 0;
        double notchHz = 0;                // 0: no notch
        double notchQ = 1;
        double torqueLimit = 3.0;
    };
    // What the loops follow: nothing (servo off, the dynamic brake stops the
    // motor), a position command, a speed command or a torque command.
    enum class Control { Off, Position, Speed, Torque };

    // `loadInertiaRatio`: the load's inertia over the motor's, the machine's
    // truth, which the set ratio may or may not match. `endStop`: the
    // machine's lowest position, where it meets its mechanical stop.
    ServoLoop(double loadInertiaRatio, double endStop);

    void setGains(const Gains& gains);
    // One millisecond. `command` is the position at the end of it (pulses),
    // the speed (pulses/s) or the torque (rated torques).
    void step(Control control, double command);
    // The deviation counter is cleared: the command stands where the encoder is.
    void clearDeviation() { command_ = position_; }

    double position() const { return position_; }    // at the encoder
    double speed() const { return speed_; }
    double commandPosition() const { return command_; }
    double deviation() const { return command_ - position_; }
    double speedReference() const { return speedReference_; }
    double torque() const { return torque_; }
    bool torqueLimited() const { return limited_; }

private:
    void controlSubstep(Control control, double command, double commandSpeed);
    void plantSubstep();
    // A braked machine that has all but stopped stands still.
    void settle();

    Gains gains_;
    NotchFilter notch_;
    double endStop_;
    double motorInertia_, loadInertia_, shaftStiffness_ = 0, shaftDamping_ = 0;
    double rotor_ = 0, rotorSpeed_ = 0;      // the motor's side of the shaft
    double position_ = 0, speed_ = 0;        // the machine's side, where the encoder is
    double command_ = 0;
    double feedForward_ = 0, integral_ = 0, filteredTorque_ = 0;
    double speedReference_ = 0, torque_ = 0;
    bool limited_ = false;
    bool braking_ = false;
};

}  // namespace drivesim
