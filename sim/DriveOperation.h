#pragma once
// The running drive behind its registers: its clock, the servo and the
// axis, the inputs and outputs, the alarms, auto tuning and the scope
// signals of the last second. Moves, jogs and homing arrive here from the
// register map, and advance() lives the drive's milliseconds.

#include "sim/AlarmLog.h"
#include "sim/DriveAxis.h"
#include "sim/DriveConfig.h"
#include "sim/DriveStorage.h"
#include "sim/IoModel.h"
#include "sim/TuningMachine.h"

#include <array>
#include <cstdint>
#include <vector>

namespace drivesim {

// The drive's behaviour over time.
class DriveOperation {
public:
    DriveOperation(const DriveConfig& config, DriveStorage& storage);

    // Runs the drive's clock forward to nowMs, a millisecond at a time.
    void advance(uint64_t nowMs);
    uint64_t nowMs() const { return nowMs_; }
    // Power-up: inputs off, sums 0, tuning idle, the current alarm gone
    // (the history stays), the position counting from 0 here.
    void powerUp();

    bool servoOn() const;
    // The active control mode of register 939: 0 ABS, 1 REL, 2 pulse,
    // 3 velocity, 4 torque, 6 auto tuning, 7 index.
    int16_t activeMode() const;
    // The scope signals of a millisecond of the last second; older or later
    // ones give the nearest kept.
    ScopeSample sampleAt(uint64_t ms) const;

    // Internal positioning, taken only in the internal position modes with
    // the servo on.
    void moveTo(int32_t target);
    void moveBy(int32_t distance);
    void jog(uint16_t word);
    // Register 2002: 0x400/0x401 servo off/on, 0x801 homing.
    void commandServo(uint16_t word);
    void commandTuning(uint16_t value) { tuning_.command(value, servoOn(), nowMs_, storage_.params); }

    // Coils: the outputs 0-5 as bits, the inputs 32-42 as bits (coil 32 first).
    uint8_t outputBits() const;
    uint16_t inputBits() const { return io_.inputBits(nowMs_); }
    // A master writes an input; a rising edge may start a point or clear an alarm.
    void setInput(int coil, bool on);

    IoModel& io() { return io_; }
    const IoModel& io() const { return io_; }
    DriveAxis& axis() { return axis_; }
    const DriveAxis& axis() const { return axis_; }
    const AlarmLog& alarms() const { return alarms_; }
    const TuningMachine& tuning() const { return tuning_; }

private:
    bool acceptsMoves() const;
    MotionModel::Profile pointProfile(int point) const;
    MotionModel::Profile gotoProfile() const;
    void startSelectedPoint();
    DriveAxis::Inputs axisInputs(bool servoOn) const;
    void raiseAlarm(uint8_t code);
    // Alarms at their time (--alarm-at) and alarms of the inputs' state.
    void raiseDueAlarms();
    // True while what raised the current alarm is still there.
    bool alarmCauseActive() const;
    bool bothLimits() const;
    void stepMs();

    static constexpr size_t kHistoryMs = 1024;

    const DriveConfig& config_;
    DriveStorage& storage_;
    uint64_t nowMs_ = 0;
    uint64_t startMs_ = 0;
    bool clockStarted_ = false;
    std::vector<bool> scheduledRaised_;
    bool bothLimitsBefore_ = false;
    TuningMachine tuning_;
    DriveAxis axis_;
    IoModel io_;
    AlarmLog alarms_;
    std::array<ScopeSample, kHistoryMs> samples_{};
};

}  // namespace drivesim
