#include "sim/DriveRegisters.h"

namespace drivesim {
namespace {

using namespace reg;

uint16_t lowWord(int32_t v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF); }
uint16_t highWord(int32_t v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16); }
int32_t join(uint16_t low, uint16_t high) { return static_cast<int32_t>((uint32_t(high) << 16) | low); }

}  // namespace

DriveRegisters::DriveRegisters(const Config& config, const EepromFile* eeprom, const EepromFile::Image* savedImage)
    : config_(config), eeprom_(eeprom, {}, config.saveBusyMs), operation_(config_, storage_)
{
    storage_.loadFactory(config.model.code, config.station, config.controlMode, config.model.pr1f);
    if (savedImage)
        storage_.apply(*savedImage);
    storage_.apply(config.presets);
    eeprom_ = EepromStore(eeprom, storage_.image(), config.saveBusyMs);
    station_ = static_cast<uint8_t>(storage_.params[ParameterTable::kStation]);
    storage_.powerUp.capture(storage_.params);
}

void DriveRegisters::powerCycle()
{
    eeprom_.powerLost();
    save_ = reset_ = Command::Idle;
    writing_ = nullptr;
    storage_.loadFactory(config_.model.code, config_.station, config_.controlMode, config_.model.pr1f);
    storage_.apply(eeprom_.contents());
    station_ = static_cast<uint8_t>(storage_.params[ParameterTable::kStation]);
    storage_.powerUp.capture(storage_.params);
    operation_.powerUp();
    channelMask_ = 0;
    jogWord_ = servoQuery_ = 0;
    relativeDistance_ = absoluteTarget_ = 0;
}

void DriveRegisters::advance(uint64_t nowMs)
{
    operation_.advance(nowMs);
    if (const std::optional<bool> written = eeprom_.advance(operation_.nowMs()); written && writing_) {
        *writing_ = *written ? Command::Done : Command::Failed;
        writing_ = nullptr;
    }
}

bool DriveRegisters::mapped(uint16_t a) const
{
    const bool ext = config_.extendedFeatures;
    // Auto tuning came with drive class 2.
    const bool tunes = config_.model.driveClass >= 2;
    return a < ParameterTable::kCount || a == kEepromSave || a == kFactoryReset || a == kChannelSelect ||
           (a == kTuning && tunes) || a == kFeatureWord || inRange(a, kPosition, kRelative + 1) ||
           inRange(a, kPointPositions, kPointPositions + 31) || inRange(a, kPointSpeeds9, kPointSpeeds9 + 7) ||
           inRange(a, kAlarmCurrent, kAlarmCurrent + 16) || inRange(a, kCommandSum, kFeedbackSum + 1) ||
           a == kActiveMode || inRange(a, kHomingMode, kBlockEnd) ||
           (ext && (inRange(a, kHomeReference, kHomeReference + 1) || inRange(a, kBlockEnd + 1, kExtendedBlockEnd) ||
                    inRange(a, kJogWord, kServoQuery)));
}

bool DriveRegisters::readOne(uint16_t a, uint16_t& v) const
{
    if (!mapped(a))
        return false;
    const DriveOperation& op = operation_;
    if (a < ParameterTable::kCount) v = static_cast<uint16_t>(storage_.params[a]);
    else if (a == kEepromSave) v = save_ == Command::Done ? 1 : 0;
    else if (a == kFactoryReset) v = reset_ == Command::Done ? 1 : 0;
    else if (a == kChannelSelect) v = channelMask_;
    else if (a == kTuning) v = op.tuning().status();
    else if (a == kFeatureWord) v = config_.extendedFeatures ? kExtendedFeatureBit : 0;
    else if (a == kPosition) v = lowWord(op.axis().position());
    else if (a == kPosition + 1) v = highWord(op.axis().position());
    else if (a == kRelative) v = lowWord(relativeDistance_);
    else if (a == kRelative + 1) v = highWord(relativeDistance_);
    else if (a == kAlarmCurrent) v = op.alarms().current();
    else if (inRange(a, kAlarmCurrent + 1, kAlarmCurrent + 16)) v = op.alarms().history(a - kAlarmCurrent - 1);
    else if (a == kCommandSum) v = lowWord(op.io().commandSum());
    else if (a == kCommandSum + 1) v = highWord(op.io().commandSum());
    else if (a == kFeedbackSum) v = lowWord(op.io().feedbackSum());
    else if (a == kFeedbackSum + 1) v = highWord(op.io().feedbackSum());
    else if (a == kActiveMode) v = static_cast<uint16_t>(op.activeMode());
    else if (a == kHomeReference) v = lowWord(op.axis().homeReference());
    else if (a == kHomeReference + 1) v = highWord(op.axis().homeReference());
    else if (a == kJogWord) v = jogWord_;
    else if (a == kStatusWord) v = op.axis().status(op.servoOn());
    else if (a == kServoQuery) v = servoQuery_ == kServoCommand ? (kServoCommand | (op.servoOn() ? 1 : 0)) : servoQuery_;
    else v = storage_.memory[a];
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
    if (!mapped(a) || a == kFeatureWord || a == kActiveMode || inRange(a, kAlarmCurrent, kAlarmCurrent + 16))
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
    DriveOperation& op = operation_;
    if (touched(kPosition) || touched(kPosition + 1)) {
        absoluteTarget_ = pair(kPosition, absoluteTarget_);
        op.moveTo(absoluteTarget_);
    }
    if (touched(kRelative) || touched(kRelative + 1)) {
        relativeDistance_ = pair(kRelative, relativeDistance_);
        op.moveBy(relativeDistance_);
    }
    if (touched(kCommandSum) || touched(kCommandSum + 1))
        op.io().setCommandSum(pair(kCommandSum, op.io().commandSum()));
    if (touched(kFeedbackSum) || touched(kFeedbackSum + 1))
        op.io().setFeedbackSum(pair(kFeedbackSum, op.io().feedbackSum()));
    if (touched(kHomeReference) || touched(kHomeReference + 1))
        op.axis().setHomeReference(pair(kHomeReference, op.axis().homeReference()));
    return ModbusException::None;
}

void DriveRegisters::writeOne(uint16_t a, uint16_t v)
{
    if (a < ParameterTable::kCount) {
        storage_.params[a] = static_cast<int16_t>(v);
        if (a == ParameterTable::kStation)
            station_ = static_cast<uint8_t>(v);  // the answer still goes out from the old address
    } else if (a == kEepromSave) {
        // Any value saves (a Pr.1F repair writes the model's code here).
        startEepromWrite(save_);
    } else if (a == kFactoryReset) {
        v == 0 ? void(reset_ = Command::Idle) : factoryReset();
    } else if (a == kChannelSelect) {
        channelMask_ = static_cast<uint8_t>(v);
    } else if (a == kTuning) {
        operation_.commandTuning(v);
    } else if (a == kJogWord) {
        jogWord_ = v;
        operation_.jog(v);
    } else if (a == kStatusWord) {
        operation_.commandServo(v);
    } else if (a == kServoQuery) {
        servoQuery_ = v;
    } else if (!inRange(a, kPosition, kRelative + 1) && !inRange(a, kCommandSum, kFeedbackSum + 1) &&
               !inRange(a, kHomeReference, kHomeReference + 1)) {
        storage_.memory[a] = v;  // pairs were handled as a whole
    }
}

void DriveRegisters::startEepromWrite(Command& command)
{
    // The register reads 0 while the EEPROM is busy and 1 once it is done.
    command = Command::Busy;
    writing_ = &command;
    eeprom_.startWrite(storage_.image(), operation_.nowMs());
}

void DriveRegisters::factoryReset()
{
    // A drive refuses to reset while the motor is energised.
    if (operation_.servoOn()) {
        reset_ = Command::Failed;
        return;
    }
    // The registers and the EEPROM take the factory values; the station, the
    // control mode and the other restart-marked values stay in force until
    // the drive is powered again.
    storage_.loadFactory(config_.model.code, config_.station, config_.controlMode, config_.model.pr1f);
    startEepromWrite(reset_);
}

ModbusException DriveRegisters::readCoils(uint16_t start, uint16_t count, std::vector<bool>& out)
{
    constexpr uint32_t kCoilSpace = 64;
    if (uint32_t(start) + count > kCoilSpace)
        return ModbusException::IllegalDataAddress;
    const uint8_t outputs = operation_.outputBits();
    const uint16_t inputs = operation_.inputBits();
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
    for (size_t i = 0; i < values.size(); ++i)
        operation_.setInput(start + static_cast<int>(i), values[i]);
    return ModbusException::None;
}

std::vector<uint8_t> DriveRegisters::slaveIdData() const
{
    return ModelTable::slaveIdData(config_.model, station_);
}

}  // namespace drivesim
