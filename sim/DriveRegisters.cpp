#include "sim/DriveRegisters.h"

#include "sim/AxisSettings.h"
#include "sim/SignalGenerator.h"

#include <algorithm>

namespace drivesim {
namespace {

// Register addresses of the drive.
constexpr uint16_t kPosition = 180;          // 180-181 read: position; write: absolute target
constexpr uint16_t kRelative = 182;          // 182-183 relative distance
constexpr uint16_t kPointPositions = 200;    // 200-231, point n at 198 + 2n
constexpr uint16_t kPointSpeeds9 = 720;      // 720-727, points 9-16
constexpr uint16_t kAlarmCurrent = 899;      // 899, history 900-915
constexpr uint16_t kCommandSum = 924;        // 924-925
constexpr uint16_t kFeedbackSum = 926;       // 926-927
constexpr uint16_t kActiveMode = 939;
constexpr uint16_t kHomeReference = 941;     // 941-942
constexpr uint16_t kHomingBlock = 1200;      // 1200-1220 (1221-1222 extended): the mode first
constexpr uint16_t kHomingOffset = 1201;
constexpr uint16_t kHomingSpeed = 1203;
constexpr uint16_t kCreepSpeed = 1204;
constexpr uint16_t kHomingAcc = 1205;
constexpr uint16_t kHomingDec = 1206;
constexpr uint16_t kJogAcc = 1207;
constexpr uint16_t kJogDec = 1208;
constexpr uint16_t kOnPositionDelay = 1209;
constexpr uint16_t kTargetSpeed = 1214;
constexpr uint16_t kBumpTorque = 1215;
constexpr uint16_t kBumpTime = 1216;
constexpr uint16_t kSoftLimitPositive = 1217;  // 1217-1218
constexpr uint16_t kSoftLimitNegative = 1219;  // 1219-1220
constexpr uint16_t kHomingOptions = 1222;      // bit 0: the offset skips the gear
constexpr uint16_t kBlockEnd = 1220;
constexpr uint16_t kExtendedBlockEnd = 1222;
constexpr uint16_t kJogWord = 2001;
constexpr uint16_t kStatusWord = 2002;
constexpr uint16_t kServoQuery = 2003;

constexpr uint16_t kServoCommand = 0x400;
constexpr uint16_t kHomingCommand = 0x801;
constexpr uint64_t kMaxCatchUpMs = 10000;  // longer gaps are skipped, not replayed

bool in(uint16_t a, uint16_t first, uint16_t last) { return a >= first && a <= last; }
uint16_t lowWord(int32_t v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF); }
uint16_t highWord(int32_t v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16); }
int32_t join(uint16_t low, uint16_t high) { return static_cast<int32_t>((uint32_t(high) << 16) | low); }

bool persistent(uint16_t a)
{
    return a < ParameterTable::kCount || in(a, kPointPositions, kPointPositions + 31) ||
           in(a, kPointSpeeds9, kPointSpeeds9 + 7) || in(a, kHomingBlock, kExtendedBlockEnd);
}

void setStorageDefaults(std::array<uint16_t, 2048>& m)
{
    for (int i = 0; i < 8; ++i)
        m[kPointSpeeds9 + i] = static_cast<uint16_t>(900 + 100 * i);
    m[kHomingSpeed] = 100;
    m[kCreepSpeed] = 10;
    m[kHomingAcc] = m[kHomingDec] = m[kJogAcc] = m[kJogDec] = 100;
    m[kTargetSpeed] = 100;
    m[kBumpTorque] = 100;  // %
    m[kBumpTime] = 100;    // ms
    m[kSoftLimitPositive] = 0xFFFF; m[kSoftLimitPositive + 1] = 0x7FFF;  // the whole 32-bit range
    m[kSoftLimitNegative] = 0x0000; m[kSoftLimitNegative + 1] = 0x8000;
}

}  // namespace

DriveRegisters::DriveRegisters(const Config& config, const EepromFile* eeprom,
                               const EepromFile::Image* savedImage)
    : config_(config),
      eeprom_(eeprom, {}, config.saveBusyMs),
      tuning_(config.tuning),
      axis_(config.tuning.inertiaResult / 100.0)  // the load whose inertia tuning finds
{
    params_ = ParameterTable::factoryValues(config.model.code, config.station, config.controlMode, config.model.pr1f);
    setStorageDefaults(memory_);
    if (savedImage)
        applyImage(*savedImage);
    applyImage(config.presets);
    eeprom_ = EepromStore(eeprom, eepromImage(), config.saveBusyMs);
    station_ = static_cast<uint8_t>(params_[ParameterTable::kStation]);
    powerUp_.capture(params_);
    alarms_.raise(config.alarm);
    if (config.historyGiven)
        alarms_.setHistory(config.history);
}

void DriveRegisters::powerCycle()
{
    eeprom_.powerLost();
    save_ = reset_ = Command::Idle;
    writing_ = nullptr;
    params_ = ParameterTable::factoryValues(config_.model.code, config_.station, config_.controlMode, config_.model.pr1f);
    memory_.fill(0);
    setStorageDefaults(memory_);
    applyImage(eeprom_.contents());
    station_ = static_cast<uint8_t>(params_[ParameterTable::kStation]);
    powerUp_.capture(params_);
    alarms_.clearCurrent();
    tuning_ = TuningMachine(config_.tuning);
    io_ = IoModel();
    axis_.powerUp();
    channelMask_ = 0;
    jogWord_ = servoQuery_ = 0;
    relativeDistance_ = absoluteTarget_ = 0;
}

uint8_t DriveRegisters::station() const
{
    return station_;
}

bool DriveRegisters::servoOn() const
{
    return io_.input(IoModel::kServoOnCoil) && alarms_.current() == 0;
}

int16_t DriveRegisters::activeMode() const
{
    if (tuning_.running())
        return 6;  // AUTOGAIN
    // Pr.02 takes effect at power-up: 6-8 are the internal position modes.
    static const int16_t kByControlMode[9] = {2, 3, 4, 2, 2, 3, 0, 1, 7};
    const int16_t mode = setting(ParameterTable::kControlMode);
    return (mode >= 0 && mode <= 8) ? kByControlMode[mode] : 5;
}

bool DriveRegisters::mapped(uint16_t a) const
{
    const bool ext = config_.extendedFeatures;
    // Auto tuning came with drive class 2.
    const bool tunes = config_.model.driveClass >= 2;
    return a < ParameterTable::kCount || a == kEepromSave || a == kFactoryReset || a == kChannelSelect ||
           (a == kTuning && tunes) || a == kFeatureWord || in(a, kPosition, kRelative + 1) ||
           in(a, kPointPositions, kPointPositions + 31) || in(a, kPointSpeeds9, kPointSpeeds9 + 7) ||
           in(a, kAlarmCurrent, kAlarmCurrent + 16) || in(a, kCommandSum, kFeedbackSum + 1) ||
           a == kActiveMode || in(a, kHomingBlock, kBlockEnd) ||
           (ext && (in(a, kHomeReference, kHomeReference + 1) || in(a, kBlockEnd + 1, kExtendedBlockEnd) ||
                    in(a, kJogWord, kServoQuery)));
}

bool DriveRegisters::readOne(uint16_t a, uint16_t& v) const
{
    if (!mapped(a))
        return false;
    if (a < ParameterTable::kCount) v = static_cast<uint16_t>(params_[a]);
    else if (a == kEepromSave) v = save_ == Command::Done ? 1 : 0;
    else if (a == kFactoryReset) v = reset_ == Command::Done ? 1 : 0;
    else if (a == kChannelSelect) v = channelMask_;
    else if (a == kTuning) v = tuning_.status();
    else if (a == kFeatureWord) v = config_.extendedFeatures ? kExtendedFeatureBit : 0;
    else if (a == kPosition) v = lowWord(axis_.position());
    else if (a == kPosition + 1) v = highWord(axis_.position());
    else if (a == kRelative) v = lowWord(relativeDistance_);
    else if (a == kRelative + 1) v = highWord(relativeDistance_);
    else if (a == kAlarmCurrent) v = alarms_.current();
    else if (in(a, kAlarmCurrent + 1, kAlarmCurrent + 16)) v = alarms_.history(a - kAlarmCurrent - 1);
    else if (a == kCommandSum) v = lowWord(io_.commandSum());
    else if (a == kCommandSum + 1) v = highWord(io_.commandSum());
    else if (a == kFeedbackSum) v = lowWord(io_.feedbackSum());
    else if (a == kFeedbackSum + 1) v = highWord(io_.feedbackSum());
    else if (a == kActiveMode) v = static_cast<uint16_t>(activeMode());
    else if (a == kHomeReference) v = lowWord(axis_.homeReference());
    else if (a == kHomeReference + 1) v = highWord(axis_.homeReference());
    else if (a == kJogWord) v = jogWord_;
    else if (a == kStatusWord) v = axis_.status(servoOn());
    else if (a == kServoQuery) v = servoQuery_ == kServoCommand ? (kServoCommand | (servoOn() ? 1 : 0)) : servoQuery_;
    else v = memory_[a];
    return true;
}

ModbusException DriveRegisters::readRegisters(uint16_t start, uint16_t count, uint16_t* out)
{
    for (uint16_t i = 0; i < count; ++i)
        if (!readOne(static_cast<uint16_t>(start + i), out[i]))
            return ModbusException::IllegalDataAddress;
    return ModbusException::None;
}

ModbusException DriveRegisters::checkWrite(uint16_t a, uint16_t v) const
{
    if (!mapped(a) || a == kFeatureWord || a == kActiveMode || in(a, kAlarmCurrent, kAlarmCurrent + 16))
        return ModbusException::IllegalDataAddress;
    bool ok = true;
    if (a < ParameterTable::kCount) ok = ParameterTable::accepts(config_.model.code, a, static_cast<int16_t>(v));
    else if (a == kFactoryReset) ok = v <= 1;
    else if (a == kChannelSelect) ok = v == 0 || StreamPacker::validMask(static_cast<uint8_t>(v));
    else if (a == kTuning) ok = TuningMachine::acceptsCommand(v);
    else if (a == kStatusWord) ok = v == kServoCommand || v == (kServoCommand | 1) || v == kHomingCommand;
    return ok ? ModbusException::None : ModbusException::IllegalDataValue;
}

ModbusException DriveRegisters::writeRegisters(uint16_t start, uint16_t count, const uint16_t* values)
{
    for (uint16_t i = 0; i < count; ++i) {
        const ModbusException e = checkWrite(static_cast<uint16_t>(start + i), values[i]);
        if (e != ModbusException::None)
            return e;
    }
    for (uint16_t i = 0; i < count; ++i)
        writeOne(static_cast<uint16_t>(start + i), values[i]);
    const auto touched = [&](uint16_t a) { return a >= start && a < start + count; };
    // A 32-bit pair: a low word written alone clears the high word, so
    // "write 0 to the low register" zeroes the whole value.
    const auto pair = [&](uint16_t low, int32_t current) {
        const uint16_t lo = touched(low) ? values[low - start] : lowWord(current);
        const uint16_t hi = touched(low + 1) ? values[low + 1 - start] : (touched(low) ? 0 : highWord(current));
        return join(lo, hi);
    };
    if (touched(kPosition) || touched(kPosition + 1)) {
        absoluteTarget_ = pair(kPosition, absoluteTarget_);
        if (acceptsMoves())
            axis_.moveTo(absoluteTarget_, gotoProfile());
    }
    if (touched(kRelative) || touched(kRelative + 1)) {
        relativeDistance_ = pair(kRelative, relativeDistance_);
        if (acceptsMoves())
            axis_.moveBy(relativeDistance_, gotoProfile());
    }
    if (touched(kCommandSum) || touched(kCommandSum + 1))
        io_.setCommandSum(pair(kCommandSum, io_.commandSum()));
    if (touched(kFeedbackSum) || touched(kFeedbackSum + 1))
        io_.setFeedbackSum(pair(kFeedbackSum, io_.feedbackSum()));
    if (touched(kHomeReference) || touched(kHomeReference + 1))
        axis_.setHomeReference(pair(kHomeReference, axis_.homeReference()));
    return ModbusException::None;
}

void DriveRegisters::writeOne(uint16_t a, uint16_t v)
{
    if (a < ParameterTable::kCount) {
        params_[a] = static_cast<int16_t>(v);
        if (a == ParameterTable::kStation)
            station_ = static_cast<uint8_t>(v);  // the answer still goes out from the old address
    } else if (a == kEepromSave) {
        // Any value saves (a Pr.1F repair writes the model's code here); the
        // register reads 0 while the EEPROM is busy and 1 once it is done.
        save_ = Command::Busy;
        writing_ = &save_;
        eeprom_.startWrite(eepromImage(), nowMs_);
    } else if (a == kFactoryReset) {
        v == 0 ? void(reset_ = Command::Idle) : factoryReset();
    }
    else if (a == kChannelSelect) channelMask_ = static_cast<uint8_t>(v);
    else if (a == kTuning) tuning_.command(v, servoOn(), nowMs_, params_);
    else if (a == kJogWord) runJog(v);
    else if (a == kStatusWord) commandServo(v);
    else if (a == kServoQuery) servoQuery_ = v;
    else if (in(a, kPosition, kRelative + 1) || in(a, kCommandSum, kFeedbackSum + 1) ||
             in(a, kHomeReference, kHomeReference + 1))
        return;  // pairs were handled as a whole
    else memory_[a] = v;
}

void DriveRegisters::factoryReset()
{
    // A drive refuses to reset while the motor is energised.
    if (servoOn()) {
        reset_ = Command::Failed;
        return;
    }
    // The registers and the EEPROM take the factory values; the station, the
    // control mode and the other restart-marked values stay in force until
    // the drive is powered again.
    params_ = ParameterTable::factoryValues(config_.model.code, config_.station, config_.controlMode, config_.model.pr1f);
    memory_.fill(0);
    setStorageDefaults(memory_);
    reset_ = Command::Busy;
    writing_ = &reset_;
    eeprom_.startWrite(eepromImage(), nowMs_);
}

EepromFile::Image DriveRegisters::eepromImage() const
{
    EepromFile::Image image;
    for (int i = 0; i < ParameterTable::kCount; ++i)
        image[static_cast<uint16_t>(i)] = static_cast<uint16_t>(params_[i]);
    for (uint16_t a = ParameterTable::kCount; a < memory_.size(); ++a)
        if (persistent(a))
            image[a] = memory_[a];
    return image;
}

void DriveRegisters::applyImage(const EepromFile::Image& image)
{
    for (const auto& [a, v] : image) {
        if (a < ParameterTable::kCount) {
            if (ParameterTable::accepts(config_.model.code, a, static_cast<int16_t>(v)))
                params_[a] = static_cast<int16_t>(v);
        } else if (a < memory_.size() && persistent(a)) {
            memory_[a] = v;
        }
    }
}

MotionModel::Profile DriveRegisters::pointProfile(int point) const
{
    int speed;
    if (point < 4) speed = params_[ParameterTable::kPointSpeed1 + point];
    else if (point < 8) speed = params_[ParameterTable::kPointSpeed5 + point - 4];
    else speed = static_cast<int16_t>(memory_[kPointSpeeds9 + point - 8]);
    return {speed, params_[ParameterTable::kPointAcc], params_[ParameterTable::kPointDec]};
}

MotionModel::Profile DriveRegisters::gotoProfile() const
{
    return {memory_[kTargetSpeed], params_[ParameterTable::kPointAcc], params_[ParameterTable::kPointDec]};
}

bool DriveRegisters::acceptsMoves() const
{
    const int16_t mode = activeMode();
    return servoOn() && (mode == 0 || mode == 1 || mode == 7);
}

void DriveRegisters::startSelectedPoint()
{
    if (!acceptsMoves())
        return;
    const int point = io_.selectedPoint();
    const int32_t target = join(memory_[kPointPositions + 2 * point], memory_[kPointPositions + 2 * point + 1]);
    if (activeMode() == 1)
        axis_.moveBy(target, pointProfile(point));
    else
        axis_.moveTo(target, pointProfile(point));
}

void DriveRegisters::runJog(uint16_t word)
{
    jogWord_ = word;
    if (!acceptsMoves())
        return;
    const int amount = word & 0x0FFF;
    const MotionModel::Profile p{params_[ParameterTable::kJogSpeed], memory_[kJogAcc], memory_[kJogDec]};
    if (word & 0x2000) axis_.jogFor(+1, amount, p);
    else if (word & 0x1000) axis_.jogFor(-1, amount, p);
    else if (word & 0x8000) axis_.jogPulses(+1, amount, p);
    else if (word & 0x4000) axis_.jogPulses(-1, amount, p);
}

void DriveRegisters::commandServo(uint16_t word)
{
    if (word == kHomingCommand) {
        if (!acceptsMoves())
            return;
        const uint16_t mode = memory_[kHomingBlock];
        MotionModel::Homing homing;
        homing.mode = mode <= 2 ? static_cast<MotionModel::HomingMode>(mode) : MotionModel::HomingMode::Switch;
        homing.offset = join(memory_[kHomingOffset], memory_[kHomingOffset + 1]);
        homing.profile = {memory_[kHomingSpeed], memory_[kHomingAcc], memory_[kHomingDec]};
        homing.creepRpm = memory_[kCreepSpeed];
        homing.bumpTimeMs = memory_[kBumpTime];
        axis_.home(homing, config_.extendedFeatures && (memory_[kHomingOptions] & 1));
        return;
    }
    io_.setInput(IoModel::kServoOnCoil, word & 1);
}

ModbusException DriveRegisters::readCoils(uint16_t start, uint16_t count, std::vector<bool>& out)
{
    constexpr uint32_t kCoilSpace = 64;
    if (uint32_t(start) + count > kCoilSpace)
        return ModbusException::IllegalDataAddress;
    const uint8_t outputs = IoModel::outputBits(ioState());
    const uint16_t inputs = io_.inputBits(nowMs_);
    out.assign(count, false);
    for (uint16_t i = 0; i < count; ++i) {
        const int coil = start + i;
        if (coil < IoModel::kOutputCount)
            out[i] = (outputs >> coil) & 1;
        else if (coil >= IoModel::kFirstInput && coil < IoModel::kFirstInput + IoModel::kInputCount)
            out[i] = (inputs >> (coil - IoModel::kFirstInput)) & 1;
    }
    return ModbusException::None;
}

ModbusException DriveRegisters::writeCoils(uint16_t start, const std::vector<bool>& values)
{
    // Only the inputs are the master's to set; outputs belong to the drive.
    const uint32_t end = uint32_t(start) + values.size();
    if (start < IoModel::kFirstInput || end > IoModel::kFirstInput + IoModel::kInputCount)
        return ModbusException::IllegalDataAddress;
    for (size_t i = 0; i < values.size(); ++i) {
        const int coil = start + static_cast<int>(i);
        const bool was = io_.setInput(coil, values[i]);
        if (!was && values[i] && coil == IoModel::kStartCoil)
            startSelectedPoint();
        if (!was && values[i] && coil == IoModel::kAlarmClearCoil)
            alarms_.clearCurrent();
    }
    return ModbusException::None;
}

std::vector<uint8_t> DriveRegisters::slaveIdData() const
{
    return ModelTable::slaveIdData(config_.model, station());
}

IoModel::DriveState DriveRegisters::ioState() const
{
    const bool on = servoOn();
    return {on, alarms_.current() != 0, on && axis_.inPosition(), axis_.speedRpm(), on && axis_.torqueLimited()};
}

DriveAxis::Inputs DriveRegisters::axisInputs(bool on) const
{
    AxisSettings::Parameters effective;
    for (int p = 0; p < ParameterTable::kCount; ++p)
        effective[p] = setting(p);
    DriveAxis::Inputs in;
    in.servoOn = on;
    switch (tuning_.running() ? 0 : activeMode()) {
    case 2: in.source = DriveAxis::Source::PulseTrain; break;
    case 3: in.source = DriveAxis::Source::Velocity; break;
    case 4: in.source = DriveAxis::Source::Torque; break;
    default: in.source = DriveAxis::Source::Internal; break;
    }
    in.gains = AxisSettings::gains(effective);
    in.gear = AxisSettings::gear(effective);
    in.pulsesPerMs = io_.input(IoModel::kPulseInhibitCoil) ? 0 : config_.pulseRate / 1000.0;
    in.clearDeviation = io_.input(IoModel::kDeviationClearCoil);
    in.speedCommandRpm = AxisSettings::speedCommandRpm(effective, io_.selectedPoint());
    in.speedAccMs = effective[ParameterTable::kPointAcc];
    in.speedDecMs = effective[ParameterTable::kPointDec];
    in.cwLimit = io_.input(IoModel::kCwLimitCoil);
    in.ccwLimit = io_.input(IoModel::kCcwLimitCoil);
    in.softLimitPositive = join(memory_[kSoftLimitPositive], memory_[kSoftLimitPositive + 1]);
    in.softLimitNegative = join(memory_[kSoftLimitNegative], memory_[kSoftLimitNegative + 1]);
    in.inPositionWindow = effective[ParameterTable::kInPositionWindow];
    in.onPositionDelayMs = memory_[kOnPositionDelay];
    in.bumpTorque = memory_[kBumpTorque] / 100.0;
    return in;
}

void DriveRegisters::raiseAlarm(uint8_t code)
{
    // A new alarm turns the servo off (servoOn() sees it) and stops the motion.
    alarms_.raise(code);
    axis_.halt();
}

void DriveRegisters::stepMs()
{
    ++nowMs_;
    const bool on = servoOn();
    if (tuning_.running() && on && !axis_.busy())
        axis_.tuningStroke(tuning_.nextStroke());
    const DriveAxis::Step step = axis_.step(axisInputs(on));
    io_.countPulses(step.commandPulses, step.feedbackPulses);
    if (step.alarm != 0)
        raiseAlarm(step.alarm);
    samples_[nowMs_ % kHistoryMs] = config_.testSignals ? SignalGenerator::sampleAt(nowMs_) : axis_.sample();
    if (tuning_.running()) {
        const bool fault = alarms_.current() != 0 || io_.input(IoModel::kCwLimitCoil) || io_.input(IoModel::kCcwLimitCoil);
        tuning_.advance(nowMs_, servoOn(), fault, params_);
        if (!tuning_.running())
            axis_.halt();  // the run is over: its stroke goes no further
    }
    if (const std::optional<bool> written = eeprom_.advance(nowMs_); written && writing_) {
        *writing_ = *written ? Command::Done : Command::Failed;
        writing_ = nullptr;
    }
}

ScopeSample DriveRegisters::sampleAt(uint64_t ms) const
{
    ms = std::min(ms, nowMs_);
    if (nowMs_ - ms >= kHistoryMs)
        ms = nowMs_;
    return samples_[ms % kHistoryMs];
}

void DriveRegisters::advance(uint64_t nowMs)
{
    if (!clockStarted_) {
        clockStarted_ = true;
        nowMs_ = nowMs;
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
