#pragma once
// The test signals the drive streams to the scope, one sample per
// millisecond: full-scale sines and a step, so every bit of every slot
// width and both signs show up.

#include "sim/StreamPacker.h"

#include <cstdint>

namespace drivesim {

// Signal values as functions of the sample number.
class SignalGenerator {
public:
    static constexpr int kSpeedPeriod = 1000;      // sine, 14-bit full scale
    static constexpr int kTorquePeriod = 200;      // sine, 14-bit full scale
    static constexpr int kDeviationPeriod = 2000;  // sine, 15-bit full scale
    static constexpr int kCommandPeriod = 1000;    // step between the 14-bit extremes

    static ScopeSample sampleAt(uint64_t sampleIndex);
};

}  // namespace drivesim
