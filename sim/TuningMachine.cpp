#include "sim/TuningMachine.h"

#include "sim/ParameterTable.h"

namespace drivesim {
namespace {

// Gains a tuning run settles on, per stiffness 0-15.
const int16_t kSpeedGain[16] = {9, 15, 19, 25, 36, 43, 50, 59, 65, 72, 85, 104, 126, 155, 185, 240};
const int16_t kIntegral[16] = {62, 50, 38, 31, 28, 26, 24, 22, 21, 19, 18, 17, 16, 15, 15, 9};
const int16_t kFilter[16] = {253, 126, 103, 84, 65, 57, 45, 38, 30, 25, 25, 25, 25, 25, 25, 25};
const int16_t kPositionGain[16] = {12, 20, 31, 40, 47, 59, 63, 70, 75, 82, 95, 115, 132, 164, 195, 255};

}  // namespace

void TuningMachine::command(uint16_t value, bool servoOn, uint64_t nowMs, const Parameters& params)
{
    if (value == 0) {
        status_ = Idle;
        return;
    }
    if (!servoOn) {
        status_ = ServoOff;  // the motor must be energised to be measured
        return;
    }
    stiffness_ = value - 1;
    startMs_ = nowMs;
    inertiaAtStart_ = params[ParameterTable::kInertiaRatio];
    status_ = Tuning;
}

void TuningMachine::advance(uint64_t nowMs, bool servoOn, Parameters& params)
{
    if (status_ != Tuning)
        return;
    if (!servoOn) {
        status_ = ServoOff;
        return;
    }
    const uint64_t elapsed = nowMs - startMs_;
    if (elapsed < settings_.durationMs) {
        const int64_t span = int64_t(settings_.inertiaResult) - inertiaAtStart_;
        params[ParameterTable::kInertiaRatio] =
            static_cast<int16_t>(inertiaAtStart_ + span * int64_t(elapsed) / int64_t(settings_.durationMs));
        return;
    }
    if (settings_.outcome != Success) {
        params[ParameterTable::kInertiaRatio] = inertiaAtStart_;
        status_ = settings_.outcome;
        return;
    }
    params[ParameterTable::kPositionGain] = kPositionGain[stiffness_];
    params[ParameterTable::kSpeedGain] = kSpeedGain[stiffness_];
    params[ParameterTable::kIntegralTime] = kIntegral[stiffness_];
    params[ParameterTable::kTorqueFilter] = kFilter[stiffness_];
    params[ParameterTable::kInertiaRatio] = settings_.inertiaResult;
    status_ = Success;
}

}  // namespace drivesim
