#include "sim/TuningMachine.h"

#include "sim/ParameterTable.h"

namespace drivesim {
namespace {

// Gains a tuning run settles on, per stiffness 0-15.
const int16_t kSpeedGain[16] = {9, 15, 19, 25, 36, 43, 50, 59, 65, 72, 85, 104, 126, 155, 185, 240};
const int16_t kIntegral[16] = {62, 50, 38, 31, 28, 26, 24, 22, 21, 19, 18, 17, 16, 15, 15, 9};
const int16_t kFilter[16] = {253, 126, 103, 84, 65, 57, 45, 38, 30, 25, 25, 25, 25, 25, 25, 25};
const int16_t kPositionGain[16] = {12, 20, 31, 40, 47, 59, 63, 70, 75, 82, 95, 115, 132, 164, 195, 255};
// Speed detection filter (0-5): the stiffer, the less filtering.
const int16_t kDetectionFilter[16] = {4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1, 0, 0, 0, 0};

// The rest of the set a run leaves the same whatever the stiffness: speed
// feed-forward and its filter, and gain switching between the two sets.
struct Fixed {
    int parameter;
    int16_t value;
};
const Fixed kFixed[] = {{0x15, 300}, {0x16, 50}, {0x30, 1}, {0x31, 10}, {0x32, 30},
                        {0x33, 50},  {0x34, 33}, {0x35, 20}, {0x36, 0}, {0x3A, 0}};

}  // namespace

void TuningMachine::applyGains(int s, int16_t inertiaRatio, Parameters& params)
{
    // The first set (Pr.10-14) and the second (Pr.18-1C) alike.
    params[ParameterTable::kPositionGain] = params[0x18] = kPositionGain[s];
    params[ParameterTable::kSpeedGain] = params[0x19] = kSpeedGain[s];
    params[ParameterTable::kIntegralTime] = params[0x1A] = kIntegral[s];
    params[0x13] = params[0x1B] = kDetectionFilter[s];
    params[ParameterTable::kTorqueFilter] = params[0x1C] = kFilter[s];
    for (const Fixed& f : kFixed)
        params[f.parameter] = f.value;
    params[ParameterTable::kInertiaRatio] = inertiaRatio;
}

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
    ++runs_;
    strokes_ = 0;
    stiffness_ = value - 1;
    startMs_ = nowMs;
    inertiaAtStart_ = params[ParameterTable::kInertiaRatio];
    status_ = Tuning;
}

void TuningMachine::fail(Status status, Parameters& params)
{
    params[ParameterTable::kInertiaRatio] = inertiaAtStart_;
    status_ = status;
}

void TuningMachine::advance(uint64_t nowMs, bool servoOn, bool fault, Parameters& params)
{
    if (status_ != Tuning)
        return;
    if (fault)
        return fail(Error, params);
    if (!servoOn)
        return fail(ServoOff, params);
    const uint64_t elapsed = nowMs - startMs_;
    if (elapsed < settings_.durationMs) {
        const int64_t span = int64_t(settings_.inertiaResult) - inertiaAtStart_;
        params[ParameterTable::kInertiaRatio] =
            static_cast<int16_t>(inertiaAtStart_ + span * int64_t(elapsed) / int64_t(settings_.durationMs));
        return;
    }
    if (runs_ == settings_.failAtRun)
        return fail(Error, params);
    if (settings_.outcome != Success)
        return fail(settings_.outcome, params);
    applyGains(stiffness_, settings_.inertiaResult, params);
    status_ = Success;
}

}  // namespace drivesim
