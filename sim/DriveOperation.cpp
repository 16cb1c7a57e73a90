#include "sim/DriveOperation.h"

#include "sim/AxisSettings.h"
#include "sim/SignalGenerator.h"

#include <algorithm>

namespace drivesim {
namespace {

constexpr uint64_t kMaxCatchUpMs = 10000;  // longer gaps are skipped, not replayed

}  // namespace

DriveOperation::DriveOperation(const DriveConfig& config, DriveStorage& storage)
    : config_(config),
      storage_(storage),
      scheduledRaised_(config.alarmsAt.size(), false),
      tuning_(config.tuning),
      axis_(config.tuning.inertiaResult / 100.0)  // the load whose inertia tuning finds
{
    alarms_.raise(config.alarm);
    if (config.historyGiven)
        alarms_.setHistory(config.history);
}

void DriveOperation::powerUp()
{
    alarms_.clearCurrent();
    tuning_ = TuningMachine(config_.tuning);
    io_ = IoModel();
    axis_.powerUp();
}

bool DriveOperation::servoOn() const
{
    return io_.input(IoModel::kServoOnCoil) && alarms_.current() == 0;
}

int16_t DriveOperation::activeMode() const
{
    if (tuning_.running())
        return 6;  // AUTOGAIN
    // Pr.02 takes effect at power-up: 6-8 are the internal position modes.
    // In 3-5 the C-MODE input switches to the second of the two controls.
    static const int16_t kByControlMode[9] = {2, 3, 4, 2, 2, 3, 0, 1, 7};
    static const int16_t kSecondControl[9] = {2, 3, 4, 3, 4, 4, 0, 1, 7};
    const int16_t mode = storage_.setting(ParameterTable::kControlMode);
    if (mode < 0 || mode > 8)
        return 5;
    return io_.input(IoModel::kControlModeCoil) ? kSecondControl[mode] : kByControlMode[mode];
}

bool DriveOperation::acceptsMoves() const
{
    const int16_t mode = activeMode();
    return servoOn() && (mode == 0 || mode == 1 || mode == 7);
}

MotionModel::Profile DriveOperation::pointProfile(int point) const
{
    const auto& p = storage_.params;
    int speed;
    if (point < 4) speed = p[ParameterTable::kPointSpeed1 + point];
    else if (point < 8) speed = p[ParameterTable::kPointSpeed5 + point - 4];
    else speed = static_cast<int16_t>(storage_.memory[reg::kPointSpeeds9 + point - 8]);
    return {speed, p[ParameterTable::kPointAcc], p[ParameterTable::kPointDec]};
}

MotionModel::Profile DriveOperation::gotoProfile() const
{
    const auto& p = storage_.params;
    return {storage_.memory[reg::kTargetSpeed], p[ParameterTable::kPointAcc], p[ParameterTable::kPointDec]};
}

void DriveOperation::moveTo(int32_t target)
{
    if (acceptsMoves())
        axis_.moveTo(target, gotoProfile());
}

void DriveOperation::moveBy(int32_t distance)
{
    if (acceptsMoves())
        axis_.moveBy(distance, gotoProfile());
}

void DriveOperation::startSelectedPoint()
{
    if (!acceptsMoves())
        return;
    const int point = io_.selectedPoint();
    const int32_t target = storage_.pair(reg::kPointPositions + 2 * point);
    if (activeMode() == 1)
        axis_.moveBy(target, pointProfile(point));
    else
        axis_.moveTo(target, pointProfile(point));
}

void DriveOperation::jog(uint16_t word)
{
    if (!acceptsMoves())
        return;
    const auto& m = storage_.memory;
    const int amount = word & 0x0FFF;
    const MotionModel::Profile p{storage_.params[ParameterTable::kJogSpeed], m[reg::kJogAcc], m[reg::kJogDec]};
    if (word & 0x2000) axis_.jogFor(+1, amount, p);
    else if (word & 0x1000) axis_.jogFor(-1, amount, p);
    else if (word & 0x8000) axis_.jogPulses(+1, amount, p);
    else if (word & 0x4000) axis_.jogPulses(-1, amount, p);
}

void DriveOperation::commandServo(uint16_t word)
{
    if (word != reg::kHomingCommand) {
        io_.setInput(IoModel::kServoOnCoil, word == (reg::kServoCommand | 1));
        return;
    }
    if (!acceptsMoves())
        return;
    const auto& m = storage_.memory;
    const uint16_t mode = m[reg::kHomingMode];
    MotionModel::Homing homing;
    homing.mode = mode <= 2 ? static_cast<MotionModel::HomingMode>(mode) : MotionModel::HomingMode::Switch;
    homing.offset = storage_.pair(reg::kHomingOffset);
    homing.profile = {m[reg::kHomingSpeed], m[reg::kHomingAcc], m[reg::kHomingDec]};
    homing.creepRpm = m[reg::kCreepSpeed];
    homing.bumpTimeMs = m[reg::kBumpTime];
    axis_.home(homing, config_.extendedFeatures && (m[reg::kHomingOptions] & 1));
}

uint8_t DriveOperation::outputBits() const
{
    const bool on = servoOn();
    return IoModel::outputBits({on, alarms_.current() != 0, on && axis_.inPosition(), axis_.speedRpm(),
                                on && axis_.torqueLimited(), storage_.params[ParameterTable::kZeroSpeedLevel]});
}

void DriveOperation::setInput(int coil, bool on)
{
    const bool was = io_.setInput(coil, on);
    if (was || !on)
        return;
    if (coil == IoModel::kStartCoil)
        startSelectedPoint();
    if (coil == IoModel::kAlarmClearCoil && !alarmCauseActive())
        alarms_.clearCurrent();
}

bool DriveOperation::bothLimits() const
{
    return io_.input(IoModel::kCwLimitCoil) && io_.input(IoModel::kCcwLimitCoil);
}

bool DriveOperation::alarmCauseActive() const
{
    return alarms_.current() == AlarmLog::RunInhibited && bothLimits();
}

void DriveOperation::raiseDueAlarms()
{
    for (size_t i = 0; i < config_.alarmsAt.size(); ++i) {
        if (!scheduledRaised_[i] && nowMs_ - startMs_ >= config_.alarmsAt[i].first) {
            scheduledRaised_[i] = true;
            raiseAlarm(config_.alarmsAt[i].second);
        }
    }
    // Both over-travel inputs at once: the machine may go nowhere.
    const bool both = bothLimits();
    if (both && !bothLimitsBefore_)
        raiseAlarm(AlarmLog::RunInhibited);
    bothLimitsBefore_ = both;
}

DriveAxis::Inputs DriveOperation::axisInputs(bool on) const
{
    const AxisSettings::Parameters settings = storage_.settings();
    const auto& m = storage_.memory;
    DriveAxis::Inputs in;
    in.servoOn = on;
    switch (tuning_.running() ? 0 : activeMode()) {
    case 2: in.source = DriveAxis::Source::PulseTrain; break;
    case 3: in.source = DriveAxis::Source::Velocity; break;
    case 4: in.source = DriveAxis::Source::Torque; break;
    default: in.source = DriveAxis::Source::Internal; break;
    }
    in.gains = AxisSettings::gains(settings);
    in.gear = AxisSettings::gear(settings);
    in.pulsesPerMs = io_.input(IoModel::kPulseInhibitCoil) ? 0 : config_.pulseRate / 1000.0;
    in.clearDeviation = io_.input(IoModel::kDeviationClearCoil);
    in.speedCommandRpm = AxisSettings::speedCommandRpm(settings, io_.selectedPoint());
    in.speedAccMs = settings[ParameterTable::kPointAcc];
    in.speedDecMs = settings[ParameterTable::kPointDec];
    in.cwLimit = io_.input(IoModel::kCwLimitCoil);
    in.ccwLimit = io_.input(IoModel::kCcwLimitCoil);
    in.softLimitPositive = storage_.pair(reg::kSoftLimitPositive);
    in.softLimitNegative = storage_.pair(reg::kSoftLimitNegative);
    in.inPositionWindow = settings[ParameterTable::kInPositionWindow];
    in.followingErrorLimit = AxisSettings::followingErrorLimit(settings);
    in.onPositionDelayMs = m[reg::kOnPositionDelay];
    in.bumpTorque = m[reg::kBumpTorque] / 100.0;
    return in;
}

void DriveOperation::raiseAlarm(uint8_t code)
{
    // A new alarm turns the servo off (servoOn() sees it) and stops the motion.
    alarms_.raise(code);
    axis_.halt();
}

void DriveOperation::stepMs()
{
    ++nowMs_;
    raiseDueAlarms();
    const bool on = servoOn();
    if (tuning_.running() && on && !axis_.busy())
        axis_.tuningStroke(tuning_.nextStroke());
    const DriveAxis::Step step = axis_.step(axisInputs(on));
    io_.countPulses(step.commandPulses, step.feedbackPulses);
    if (step.alarm != 0)
        raiseAlarm(step.alarm);
    samples_[nowMs_ % kHistoryMs] = config_.testSignals ? SignalGenerator::sampleAt(nowMs_) : axis_.sample();
    if (tuning_.running()) {
        const bool limit = io_.input(IoModel::kCwLimitCoil) || io_.input(IoModel::kCcwLimitCoil);
        tuning_.advance(nowMs_, servoOn(), alarms_.current() != 0 || limit, storage_.params);
        if (!tuning_.running())
            axis_.halt();  // the run is over: its stroke goes no further
    }
}

ScopeSample DriveOperation::sampleAt(uint64_t ms) const
{
    ms = std::min(ms, nowMs_);
    if (nowMs_ - ms >= kHistoryMs)
        ms = nowMs_;
    return samples_[ms % kHistoryMs];
}

void DriveOperation::advance(uint64_t nowMs)
{
    if (!clockStarted_) {
        clockStarted_ = true;
        nowMs_ = startMs_ = nowMs;
        return;
    }
    if (nowMs <= nowMs_)
        return;
    // After a long stall the drive skips ahead instead of replaying it.
    if (nowMs - nowMs_ > kMaxCatchUpMs)
        nowMs_ = nowMs - kMaxCatchUpMs;
    while (nowMs_ < nowMs)
        stepMs();
}

}  // namespace drivesim
