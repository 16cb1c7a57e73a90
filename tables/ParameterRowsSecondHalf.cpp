// Pr.40-Pr.7F: pulse input and output, gear, analog commands, internal
// speeds, limits, outputs and stop sequences.

#include "tables/ParameterRows.h"

namespace parameterrows {

const Row kSecondHalf[kHalf] = {
    {0x40, "Command pulse input", 0, 1, kNoUnit, 0, kReboot, kUsed, kP, kFree,
     "Input circuit of the command pulses. 0: photo-coupler input (200 kpps with open collector, "
     "500 kpps with line driver). 1: the input reserved for a line driver (up to 2 Mpps)."},
    {0x41, "Command pulse direction", 0, 1, kNoUnit, 0, kReboot, kUsed, kP, kFree,
     "0: the motor turns the way the command pulses count. 1: the count is reversed. Together "
     "with Pr.42 it makes the six pulse input types."},
    {0x42, "Command pulse input mode", 0, 3, kNoUnit, 1, kReboot, kUsed, kP, kFree,
     "Form of the command pulses. 0 or 2: two phases 90 degrees apart (A and B phase). 1: a CW "
     "pulse train and a CCW pulse train. 3: a pulse train and a direction signal."},
    {0x43, "Command pulse inhibit", 0, 1, kNoUnit, 1, kLive, kUsed, kP, kFree,
     "0: while the PULS-INH input is on, the drive ignores the command pulses. 1: the input is "
     "ignored and the pulses are always counted."},
    {0x44, "Pulse output division", 0, 255, kNoUnit, 1, kReboot, kUsed, kPVT, kFree,
     "Divides the encoder pulses sent on the pulse output. 0 and 1: every encoder pulse is sent. "
     "2 to 255: one pulse for each that many encoder pulses. The ratio Pr.4E / Pr.4F then scales "
     "the divided pulses."},
    {0x45, "Pulse output logic", 0, 1, kNoUnit, 0, kReboot, kUsed, kPVT, kFree,
     "Phase of the B signal of the pulse output against the A signal. 0: non-reversal. "
     "1: reversal, for a controller that counts the other way."},
    {0x46, "1st gear numerator", 1, 10000, kNoUnit, 1, kLive, kUsed, kP, kFree,
     "Numerator of the electronic gear: each command pulse moves the motor by Pr.46 / Pr.4B "
     "encoder pulses. The motor has 10000 encoder pulses per revolution."},
    {0x47, "2nd gear numerator", 1, 10000, kNoUnit, 1, kLive, kUsed, kP, kFree,
     "Numerator of the electronic gear used instead of Pr.46 while the DIV input is on."},
    {0x48, "Pulse input filter", 0, 3, kNoUnit, 0, kReboot, kUsed, kP, kFree,
     "Digital filter on the command pulse inputs: 0 0.1 us, 1 0.2 us, 2 0.5 us, 3 1.0 us. A longer "
     "filter rejects longer noise pulses on long lines but lowers the highest pulse rate."},
    reserved(0x49),
    {0x4A, "Gear switching input", 0, 1, kNoUnit, 0, kLive, kUsed, kP, kFree,
     "0: the DIV input switches the gear numerator from Pr.46 to Pr.47. 1: the DIV input is "
     "ignored."},
    {0x4B, "Gear denominator", 1, 10000, kNoUnit, 1, kLive, kUsed, kP, kFree,
     "Denominator of the electronic gear: each command pulse moves the motor by Pr.46 / Pr.4B "
     "encoder pulses."},
    {0x4C, "Position cmd smoothing", 0, 7, kNoUnit, 1, kLive, kUsed, kP, kFree,
     "Smoothing filter on the position command, from 0 (none) to 7 (longest). It softens the "
     "start and end of moves when the controller sends coarse pulse trains."},
    {0x4D, "Error clear at servo-off", 0, 1, kNoUnit, 0, kLive, kUsed, kP, kFree,
     "0: the following error is cleared when the servo turns off. 1: it is kept, so the motor "
     "returns to the commanded position when the servo turns on again."},
    {0x4E, "Pulse output numerator", 1, 9999, kNoUnit, 1, kReboot, kUsed, kPVT, kFree,
     "Numerator of the ratio that scales the divided encoder pulses (Pr.44) on the pulse output."},
    {0x4F, "Pulse output denominator", 1, 255, kNoUnit, 1, kReboot, kUsed, kPVT, kFree,
     "Denominator of the ratio that scales the divided encoder pulses (Pr.44) on the pulse output."},
    {0x50, "Speed command input gain", 10, 2000, "rpm/V", 500, kLive, kUsed, kVT, kFree,
     "Motor speed for each volt of the analog speed command. In torque control the same gain "
     "scales the analog speed limit."},
    {0x51, "Speed command direction", 0, 1, kNoUnit, 0, kLive, kUsed, kV, kFree,
     "0: a positive speed command turns the motor counter-clockwise, seen from the shaft end. "
     "1: clockwise."},
    {0x52, "Speed command offset", -2047, 2047, "0.3 mV", 0, kLive, kUsed, kVT, kFree,
     "Offset added to the analog input at pin 14 (the speed command, or in torque control the "
     "torque command or speed limit), to cancel the drift of the controller's output so the "
     "motor stands still at a 0 V command."},
    {0x53, "1st internal speed", -10000, 10000, "rpm", 100, kLive, kUsed, kV, kFree,
     "First internal speed of velocity control, chosen by the speed select inputs. In the "
     "internal position modes it is the speed of point 1."},
    {0x54, "2nd internal speed", -10000, 10000, "rpm", 200, kLive, kUsed, kV, kFree,
     "Second internal speed of velocity control. In the internal position modes it is the speed "
     "of point 2."},
    {0x55, "3rd internal speed", -10000, 10000, "rpm", 300, kLive, kUsed, kV, kFree,
     "Third internal speed of velocity control. In the internal position modes it is the speed "
     "of point 3."},
    {0x56, "4th internal speed", -10000, 10000, "rpm", 400, kLive, kUsed, kVT, kFree,
     "Fourth internal speed of velocity control. In torque control it limits the motor speed. "
     "In the internal position modes it is the speed of point 4."},
    {0x57, "Jog speed", 0, 10000, "rpm", 300, kLive, kUsed, kPVT, kFree,
     "Speed of a jog from the front panel or from the tool."},
    {0x58, "Acceleration time", 0, 10000, "ms", 100, kLive, kUsed, kV, kFree,
     "Time to accelerate by 1000 rpm in velocity control. In the internal position modes it is "
     "the acceleration of the points."},
    {0x59, "Deceleration time", 0, 10000, "ms", 100, kLive, kUsed, kV, kFree,
     "Time to decelerate by 1000 rpm in velocity control. In the internal position modes it is "
     "the deceleration of the points."},
    {0x5A, "S-curve time", 0, 1000, "ms", 0, kLive, kUsed, kV, kFree,
     "Rounding of the start and end of acceleration and deceleration in velocity control. "
     "0: straight ramps."},
    {0x5B, "Torque command selection", 0, 1, kNoUnit, 0, kLive, kUsed, kT, kFree,
     "0: the torque command comes on analog input pin 14 and the 4th internal speed Pr.56 limits "
     "the speed. 1: the torque command comes on pin 16 and the analog speed input limits the "
     "speed."},
    {0x5C, "Torque command gain", 10, 100, "0.1 V/100%", 30, kLive, kUsed, kT, kFree,
     "Voltage of the analog torque command that asks for the rated torque, in steps of 0.1 V."},
    {0x5D, "Torque command direction", 0, 1, kNoUnit, 0, kLive, kUsed, kT, kFree,
     "0: a positive torque command drives the motor counter-clockwise, seen from the shaft end. "
     "1: clockwise."},
    {0x5E, "1st torque limit", 0, 300, "%", 300, kLive, kUsed, kPVT, kFree,
     "Largest torque the motor may give, in percent of its rated torque. The TLC output is on "
     "while the limit holds the torque back."},
    {0x5F, "2nd torque limit", 0, 300, "%", 300, kLive, kUsed, kNone, kFree,
     "Torque limit used instead of Pr.5E while the torque limit switching input is on."},
    {0x60, "In-position range", 0, 32767, "pulse", 10, kLive, kUsed, kP, kFree,
     "The ON-POS output turns on when the following error is within this many encoder pulses. "
     "The internal position modes take a point as reached within the same range."},
    {0x61, "Zero speed level", 10, 10000, "rpm", 50, kLive, kUsed, kPVT, kFree,
     "The ZSP output turns on while the motor speed is below this level."},
    {0x62, "At-speed level", 10, 10000, "rpm", 1000, kLive, kUsed, kVT, kFree,
     "In velocity and torque control the at-speed signal turns on when the motor speed exceeds "
     "this level."},
    {0x63, "Following error limit", 1, 32767, "256 pulse", 1875, kLive, kUsed, kP, kFree,
     "The drive raises the following error alarm when the error exceeds this value times 256 "
     "encoder pulses."},
    {0x64, "Following error check", 0, 1, kNoUnit, 0, kLive, kUsed, kP, kFree,
     "0: the following error alarm of Pr.63 is active. 1: it is off (for tests only: a blocked "
     "axis is then not detected)."},
    {0x65, "In-position output mode", 0, 2, kNoUnit, 0, kLive, kUsed, kP, kFree,
     "When the ON-POS output is on. 0: while the following error is within Pr.60. 1: within "
     "Pr.60 and no command pulses arrive. 2: as 1, and held until the next command pulse."},
    {0x66, "Over-travel stop", 0, 2, kNoUnit, 0, kLive, kUsed, kPVT, kFree,
     "How the motor stops at the CW or CCW limit input. 0: dynamic brake. 1: free run. "
     "2: quick stop at the torque limit, then the motor is held."},
    {0x67, "Stop at power loss", 0, 3, kNoUnit, 0, kLive, kUsed, kPVT, kFree,
     "How the motor stops when the main power fails. 0: dynamic brake, then released. 1: free "
     "run. 2: dynamic brake, held. 3: free run, then dynamic brake."},
    {0x68, "Stop at alarm", 0, 3, kNoUnit, 0, kLive, kUsed, kPVT, kFree,
     "How the motor stops when the drive raises an alarm. 0: dynamic brake, then released. "
     "1: free run. 2: dynamic brake, held. 3: free run, then dynamic brake."},
    {0x69, "Stop at servo-off", 0, 3, kNoUnit, 0, kLive, kUsed, kPVT, kFree,
     "How the motor stops when the servo turns off. 0: dynamic brake, then released. 1: free "
     "run. 2: dynamic brake, held. 3: free run, then dynamic brake."},
    {0x6A, "Brake delay at rest", 0, 1000, "ms", 0, kLive, kUsed, kPVT, kFree,
     "At servo-off with the motor at rest: time from turning the brake release output off until "
     "the motor current is cut, so the brake holds before the motor lets go."},
    {0x6B, "Brake delay while moving", 0, 1000, "ms", 0, kLive, kUsed, kPVT, kFree,
     "At servo-off with the motor turning: time from cutting the motor current until the brake "
     "release output turns off, so the motor slows before the brake bites."},
    {0x6C, "Regenerative resistor", 0, 3, kNoUnit, 0, kReboot, kUsed, kPVT, kFree,
     "0: the built-in resistor with its overload protection. 1: an external resistor with "
     "overload protection. 2: an external resistor without protection. 3: no resistor."},
    reserved(0x6D),
    reserved(0x6E),
    reserved(0x6F),
    reserved(0x70),
    reserved(0x71),
    reserved(0x72),
    reserved(0x73),
    {0x74, "5th internal speed", -10000, 10000, "rpm", 500, kLive, kUsed, kV, kFree,
     "Fifth internal speed of velocity control (speed selection 3). In the internal position "
     "modes it is the speed of point 5."},
    {0x75, "6th internal speed", -10000, 10000, "rpm", 600, kLive, kUsed, kV, kFree,
     "Sixth internal speed of velocity control (speed selection 3). In the internal position "
     "modes it is the speed of point 6."},
    {0x76, "7th internal speed", -10000, 10000, "rpm", 700, kLive, kUsed, kV, kFree,
     "Seventh internal speed of velocity control (speed selection 3). In the internal position "
     "modes it is the speed of point 7."},
    {0x77, "8th internal speed", -10000, 10000, "rpm", 800, kLive, kUsed, kV, kFree,
     "Eighth internal speed of velocity control (speed selection 3). In the internal position "
     "modes it is the speed of point 8."},
    reserved(0x78),
    reserved(0x79),
    reserved(0x7A),
    reserved(0x7B),
    reserved(0x7C),
    reserved(0x7D),
    reserved(0x7E),
    reserved(0x7F),
};

}  // namespace parameterrows
