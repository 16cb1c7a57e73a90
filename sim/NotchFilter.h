#pragma once
// A second-order notch on the torque command, computed at the servo loop's
// sub-step rate: it takes out a band around its centre frequency and passes
// the rest unchanged.

namespace drivesim {

// Biquad notch filter (bilinear transform, pre-warped at the centre).
class NotchFilter {
public:
    // `centreHz` 0 switches the filter off; `q` sets the width (a higher q is narrower).
    void configure(double centreHz, double q, double sampleHz);
    double filter(double x);
    void reset() { x1_ = x2_ = y1_ = y2_ = 0; }
    bool active() const { return active_; }

private:
    bool active_ = false;
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace drivesim
