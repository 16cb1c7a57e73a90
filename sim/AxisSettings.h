#pragma once
// How the drive's parameters set up its axis: the loop gains, the notch, the
// electronic gear and the speed command of velocity control.

#include "sim/ServoLoop.h"

#include <array>
#include <cstdint>

namespace drivesim {

// Parameter values turned into axis settings.
class AxisSettings {
public:
    using Parameters = std::array<int16_t, 128>;
    static constexpr int kNotchOffHz = 1600;

    static ServoLoop::Gains gains(const Parameters& p);
    // Encoder pulses per command unit: Pr.46 / Pr.4B (a 0 counts as 1).
    static double gear(const Parameters& p);
    // The following error that trips the alarm: Pr.63 x 256 encoder pulses,
    // 0 when Pr.64 turns the check off.
    static double followingErrorLimit(const Parameters& p);
    // Velocity control: the internal speed the inputs select (`selected`,
    // 0-15), as Pr.05 says; the analog input, which nothing drives, is 0.
    static int speedCommandRpm(const Parameters& p, int selected);
};

}  // namespace drivesim
