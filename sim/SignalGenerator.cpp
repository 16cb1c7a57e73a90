#include "sim/SignalGenerator.h"

#include <cmath>

namespace drivesim {
namespace {

// A sine that reaches both ends of a `bits`-wide two's-complement range:
// floor((max + 0.5) * sin) is max at the crest and min at the trough.
int16_t fullScaleSine(uint64_t n, int period, int bits)
{
    const double max = (1 << (bits - 1)) - 1;
    const double phase = 2.0 * M_PI * static_cast<double>(n % static_cast<uint64_t>(period)) / period;
    return static_cast<int16_t>(std::floor((max + 0.5) * std::sin(phase)));
}

}  // namespace

ScopeSample SignalGenerator::sampleAt(uint64_t n)
{
    ScopeSample s;
    s.deviation = fullScaleSine(n, kDeviationPeriod, 15);
    s.speed = fullScaleSine(n, kSpeedPeriod, 14);
    s.torque = fullScaleSine(n, kTorquePeriod, 14);
    s.speedCommand = (n % kCommandPeriod) < kCommandPeriod / 2 ? 8191 : -8192;
    return s;
}

}  // namespace drivesim
