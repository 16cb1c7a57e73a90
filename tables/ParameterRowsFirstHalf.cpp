// Pr.00-Pr.3F: basic settings, gains and filters, tuning, gain switching.

#include "tables/ParameterRows.h"

namespace parameterrows {

const Row kFirstHalf[kHalf] = {
    {0x00, "Station number", 1, 255, kNoUnit, 1, kLive, kUnused, kNone, kFree,
     "Address of the drive on the serial line (Modbus station). A new value takes effect as soon "
     "as the drive has answered the write, so the tool talks to the new address from then on. "
     "No two drives on one line may share an address."},
    {0x01, "Display at power-up", 0, 15, kNoUnit, 1, kReboot, kUsed, kPVT, kFree,
     "Chooses which monitor the drive's front display shows after power-up: 0 following error, "
     "1 motor speed, 2 torque, 3 control mode, 4 input and output states, 5 alarm code, 6 to 15 "
     "further monitors of the display menu."},
    {0x02, "Control mode", 0, 8, kNoUnit, 0, kReboot, kUsed, kPVT, kFree,
     "0 position, 1 velocity, 2 torque, 3 position/velocity, 4 position/torque, 5 velocity/torque, "
     "6 internal positions absolute, 7 internal positions relative, 8 internal positions indexed. "
     "In modes 3 to 5 the C-MODE input switches between the two controls."},
    {0x03, "Torque limit selection", 0, 1, kNoUnit, 0, kLive, kUsed, kPV, kFree,
     "Source of the torque limit in position and velocity control. 0: the 1st torque limit Pr.5E "
     "(on models with a 2nd torque limit, Pr.5F while the GAIN input switches the torque limit). "
     "1: the voltage on the analog torque input sets the limit."},
    {0x04, "Baud rate", 0, 3, kNoUnit, 0, kReboot, kUsed, kPVT, kFree,
     "Baud rate of the serial port: 0 19200, 1 38400, 2 57600, 3 115200 (8 data bits, no parity, "
     "1 stop bit). After a power-up with a new rate the tool must connect again at that rate."},
    {0x05, "Speed command selection", 0, 3, kNoUnit, 0, kLive, kUsed, kV, kFree,
     "Where the speed command comes from in velocity control. 0: the external analog speed "
     "command (closed loop). 1: four internal speeds Pr.53 to Pr.56. 2: three internal speeds "
     "Pr.53 to Pr.55, the fourth selection takes the analog command. 3: eight internal speeds "
     "Pr.53 to Pr.56 and Pr.74 to Pr.77. The speed select inputs choose the internal speed."},
    {0x06, "Zero speed clamp", 0, 2, kNoUnit, 1, kLive, kUsed, kVT, kFree,
     "Function of the ZERO-SPD input in velocity and torque control. 0: the input is ignored. "
     "1: while the input is on, the speed command is held at 0. 2: the input selects the "
     "direction of the speed command instead (on: reverse)."},
    {0x07, "Analog monitor 1 signal", 0, 3, kNoUnit, 0, kLive, kUsed, kPVT, kFree,
     "Signal on analog monitor output 1: 0 motor speed, 1 torque command, 2 following error, "
     "3 speed command."},
    {0x08, "Analog monitor 2 signal", 0, 3, kNoUnit, 1, kLive, kUsed, kPVT, kFree,
     "Signal on analog monitor output 2: 0 motor speed, 1 torque command, 2 following error, "
     "3 speed command."},
    {0x09, "Analog monitor 1 gain", 1, 100, kNoUnit, 1, kLive, kUsed, kPVT, kFree,
     "Factor applied to the signal on analog monitor output 1, so small signals fill the range "
     "of a measuring instrument."},
    {0x0A, "Analog monitor 2 gain", 1, 100, kNoUnit, 1, kLive, kUsed, kPVT, kFree,
     "Factor applied to the signal on analog monitor output 2, so small signals fill the range "
     "of a measuring instrument."},
    reserved(0x0B),
    {0x0C, "Main power supply", 0, 2, kNoUnit, 1, kReboot, kUsed, kPVT, kFree,
     "Supply of the main circuit: 0 single-phase AC, 1 three-phase AC, 2 DC bus. The drive sets "
     "its undervoltage and phase-loss detection for the chosen supply."},
    reserved(0x0D),
    reserved(0x0E),
    reserved(0x0F),
    {0x10, "1st position loop gain", 1, 2000, "1/s", 35, kLive, kUsed, kP, kTuneLock,
     "Response of the position loop. A higher gain shortens the positioning time and reduces "
     "the following error. Too high a gain for the stiffness of the machine makes the motor "
     "overshoot or vibrate; raise the velocity loop gain Pr.11 with it."},
    {0x11, "1st velocity loop gain", 1, 3500, "Hz", 36, kLive, kUsed, kPVT, kTuneLock,
     "You can determine the response of the velocity loop. In order to increase the response of "
     "the overall servo system by setting a high position loop gain, you need a higher setting of "
     "this velocity loop gain as well. However, too high a setting may cause oscillation. The "
     "setting is right only when the inertia ratio Pr.20 is right."},
    {0x12, "1st speed integral time", 1, 1000, "ms", 16, kLive, kUsed, kPVT, kTuneLock,
     "Integral time constant of the velocity loop. A smaller value removes a speed error sooner "
     "and holds the motor stiffer against a load; too small a value makes the loop ring. "
     "1000 turns the integral action off."},
    {0x13, "1st speed detect filter", 0, 5, kNoUnit, 0, kLive, kUsed, kPVT, kTuneLock,
     "Low-pass filter on the measured motor speed, from 0 (none) to 5 (strongest). A stronger "
     "filter quiets motor noise but slows the velocity loop: lower the velocity loop gain when "
     "you raise it."},
    {0x14, "1st torque filter time", 25, 2500, "0.01 ms", 65, kLive, kUsed, kPVT, kTuneLock,
     "Time constant of the low-pass filter on the torque command. A longer time damps resonance "
     "and noise of the machine but adds delay to the loops."},
    {0x15, "Velocity feed forward", 0, 1500, "0.1 %", 300, kLive, kUsed, kP, kTuneLock,
     "Share of the command speed added straight to the speed command, in steps of 0.1 %. Feed "
     "forward reduces the following error while the motor moves; 1000 (100 %) almost removes it "
     "at constant speed, but too much makes the motor overshoot at the target."},
    {0x16, "Feed forward filter", 0, 6400, "0.01 ms", 50, kLive, kUsed, kP, kTuneLock,
     "Time constant of the low-pass filter on the velocity feed forward. It smooths the feed "
     "forward when the command pulses arrive unevenly."},
    reserved(0x17),
    {0x18, "2nd position loop gain", 1, 2000, "1/s", 35, kLive, kUsed, kP, kTuneLock,
     "Position loop gain of the second gain set, used while gain switching Pr.30 selects it."},
    {0x19, "2nd velocity loop gain", 1, 3500, "Hz", 36, kLive, kUsed, kPVT, kTuneLock,
     "Velocity loop gain of the second gain set, used while gain switching Pr.30 selects it."},
    {0x1A, "2nd speed integral time", 1, 1000, "ms", 1000, kLive, kUsed, kPVT, kTuneLock,
     "Velocity integral time of the second gain set. 1000 turns the integral action off, which "
     "lets a motor at rest yield to the load without hunting."},
    {0x1B, "2nd speed detect filter", 0, 5, kNoUnit, 0, kLive, kUsed, kPVT, kTuneLock,
     "Speed detection filter of the second gain set, from 0 (none) to 5 (strongest)."},
    {0x1C, "2nd torque filter time", 25, 2500, "0.01 ms", 65, kLive, kUsed, kPVT, kTuneLock,
     "Torque filter time constant of the second gain set."},
    {0x1D, "Notch frequency", 50, 1600, "Hz", 1600, kLive, kUsed, kPVT, kFree,
     "Centre frequency of the notch filter in the torque command. Set it to the resonance "
     "frequency of the machine to suppress its vibration. 1600 turns the notch filter off."},
    {0x1E, "Notch width", 0, 4, kNoUnit, 0, kLive, kUsed, kPVT, kFree,
     "Width of the notch around the notch frequency Pr.1D, from 0 (narrowest) to 4 (widest). A "
     "wider notch catches a resonance that drifts, at the price of more phase delay."},
    {0x1F, "Model code", 0, 14, kNoUnit, 0, kLive, kUnused, kNone, kFree,
     "Tells the tool and parameter files which model the drive is. It is set at the factory; the "
     "tool puts it right when it differs from the connected model. Do not change it."},
    {0x20, "Inertia ratio", 0, 10000, "%", 100, kLive, kUsed, kPVT, kTuneLock,
     "Inertia of the load as a percentage of the inertia of the motor's rotor. On models with "
     "auto tuning the drive measures it and stores the result here; the tool's gain estimate "
     "takes it as given. The velocity loop gain acts as set only when this ratio is right."},
    {0x21, "Real-time auto tuning", 0, 3, kNoUnit, 0, kLive, kUsed, kNone, kFree,
     "0: off. 1 to 3: the drive keeps estimating the load while it runs and sets the gains "
     "itself, 1 for a load that barely changes, 2 for one that changes slowly, 3 for one that "
     "changes fast. While it is on, the gain parameters are locked."},
    {0x22, "Real-time tune stiffness", 0, 15, kNoUnit, 4, kLive, kUsed, kNone, kFree,
     "Stiffness of the machine that real-time auto tuning aims for, from 0 (soft, belt drives) "
     "to 15 (stiff, direct ball screws). Raise it step by step while the machine stays quiet."},
    reserved(0x23),
    reserved(0x24),
    {0x25, "Adaptive notch filter", 0, 1, kNoUnit, 0, kLive, kUsed, kNone, kFree,
     "1: the drive looks for a resonance while it runs and places an extra notch filter on it. "
     "0: off."},
    reserved(0x26),
    {0x27, "Disturbance observer", 0, 100, "%", 0, kLive, kUsed, kPVT, kFree,
     "Strength of the disturbance observer, which estimates a disturbing load torque and "
     "compensates it. 0 turns the observer off."},
    {0x28, "2nd notch frequency", 100, 1600, "Hz", 1500, kLive, kUsed, kPVT, kFree,
     "Centre frequency of the second notch filter, for a second resonance of the machine. "
     "1600 turns the second notch filter off."},
    {0x29, "2nd notch width", 0, 4, kNoUnit, 0, kLive, kUsed, kNone, kFree,
     "Width of the second notch around Pr.28, from 0 (narrowest) to 4 (widest)."},
    {0x2A, "2nd notch depth", 0, 99, kNoUnit, 0, kLive, kUsed, kPVT, kFree,
     "Depth of the second notch. 0 gives the deepest notch, a full cut at the centre frequency "
     "Pr.28; a larger value cuts less."},
    {0x2B, "Damping filter frequency", 0, 500, "Hz", 0, kLive, kUnused, kPV, kFree,
     "Not used by this model: its notch filters suppress vibration of the machine."},
    reserved(0x2C),
    reserved(0x2D),
    reserved(0x2E),
    reserved(0x2F),
    {0x30, "Gain switching", 0, 1, kNoUnit, 0, kLive, kUsed, kPVT, kTuneLock,
     "0: the first gain set Pr.10 to Pr.14 only. 1: the drive switches between the first set and "
     "the second set Pr.18 to Pr.1C under the condition that Pr.31 (position), Pr.36 (velocity) "
     "or Pr.3A (torque control) chooses."},
    {0x31, "Pos. gain switch mode", 0, 6, kNoUnit, 0, kLive, kUsed, kP, kFree,
     "When position control uses the second gain set: 0 never, 1 always, 2 while the GAIN input "
     "is on, 3 while the torque command exceeds the level Pr.33 in %, 4 while the speed command "
     "exceeds Pr.33 in rpm, 5 while the following error exceeds Pr.33 in pulses, 6 while command "
     "pulses arrive."},
    {0x32, "Pos. gain switch wait", 0, 10000, "ms", 30, kLive, kUsed, kP, kFree,
     "Time the drive waits after the switching condition has gone before it returns to the first "
     "gain set in position control."},
    {0x33, "Pos. gain switch level", 0, 20000, kNoUnit, 50, kLive, kUsed, kP, kFree,
     "Level of the switching condition chosen by Pr.31, in the unit that mode names."},
    {0x34, "Pos. switch hysteresis", 0, 20000, kNoUnit, 33, kLive, kUsed, kP, kFree,
     "Band around the switching level Pr.33 that keeps the gains from chattering when the "
     "condition hovers at the level."},
    {0x35, "Pos. gain switch time", 0, 10000, "ms", 20, kLive, kUsed, kP, kFree,
     "Time over which the position loop gain moves from one set to the other, so a switch does "
     "not jolt the machine."},
    {0x36, "Speed gain switch mode", 0, 5, kNoUnit, 0, kLive, kUsed, kV, kFree,
     "When velocity control uses the second gain set: 0 never, 1 always, 2 while the GAIN input "
     "is on, 3 while the torque command exceeds the level Pr.38 in %, 4 while the speed command "
     "changes faster than Pr.38 in rpm per 10 ms, 5 while the speed command exceeds Pr.38 in rpm."},
    {0x37, "Speed gain switch wait", 0, 10000, "ms", 30, kLive, kUsed, kV, kFree,
     "Time the drive waits after the switching condition has gone before it returns to the first "
     "gain set in velocity control."},
    {0x38, "Speed gain switch level", 0, 20000, kNoUnit, 50, kLive, kUsed, kV, kFree,
     "Level of the switching condition chosen by Pr.36, in the unit that mode names."},
    {0x39, "Speed switch hysteresis", 0, 20000, kNoUnit, 33, kLive, kUsed, kV, kFree,
     "Band around the switching level Pr.38 that keeps the gains from chattering."},
    {0x3A, "Torque gain switch mode", 0, 3, kNoUnit, 0, kLive, kUsed, kT, kFree,
     "When torque control uses the second gain set: 0 never, 1 always, 2 while the GAIN input is "
     "on, 3 while the torque command exceeds the level Pr.3C in %."},
    {0x3B, "Torque gain switch wait", 0, 10000, "ms", 30, kLive, kUsed, kT, kFree,
     "Time the drive waits after the switching condition has gone before it returns to the first "
     "gain set in torque control."},
    {0x3C, "Torque gain switch level", 0, 20000, kNoUnit, 50, kLive, kUsed, kT, kFree,
     "Level of the switching condition chosen by Pr.3A."},
    {0x3D, "Torque switch hysteresis", 0, 20000, kNoUnit, 33, kLive, kUsed, kT, kFree,
     "Band around the switching level Pr.3C that keeps the gains from chattering."},
    reserved(0x3E),
    reserved(0x3F),
};

}  // namespace parameterrows
