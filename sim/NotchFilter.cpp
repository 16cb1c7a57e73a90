#include "sim/NotchFilter.h"

#include <cmath>

namespace drivesim {

void NotchFilter::configure(double centreHz, double q, double sampleHz)
{
    active_ = centreHz > 0 && centreHz < sampleHz / 2 && q > 0;
    if (!active_) {
        reset();
        return;
    }
    const double k = std::tan(M_PI * centreHz / sampleHz);
    const double norm = 1.0 / (1.0 + k / q + k * k);
    b0_ = b2_ = (1.0 + k * k) * norm;
    b1_ = a1_ = 2.0 * (k * k - 1.0) * norm;
    a2_ = (1.0 - k / q + k * k) * norm;
}

double NotchFilter::filter(double x)
{
    if (!active_)
        return x;
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

}  // namespace drivesim
