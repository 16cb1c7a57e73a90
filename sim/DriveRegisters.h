#pragma once
// The drive's register and coil map: parameters, commands (EEPROM save,
// factory reset, scope channels, auto tuning), alarms, I/O, pulse sums and
// the internal position block, each routed to the model that owns it.

#include "sim/AlarmLog.h"
#include "sim/EepromFile.h"
#include "sim/IoModel.h"
#include "sim/ModelTable.h"
#include "sim/MotionModel.h"
#include "sim/ParameterTable.h"
#include "sim/SlaveDataModel.h"
#include "sim/TuningMachine.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace drivesim {

// Everything a master can read or write on the drive.
class DriveRegisters : public SlaveDataModel {
public:
    struct Config {
        DriveModel model = *ModelTable::find("VR-007");
        uint8_t station = 1;
        int16_t controlMode = 0;
        bool extendedFeatures = false;  // bit 0x20 of register 151
        uint8_t alarm = 0;
        std::vector<uint8_t> history;
        bool historyGiven = false;
        TuningMachine::Settings tuning;
        std::map<uint16_t, uint16_t> presets;  // applied after the EEPROM image
    };

    static constexpr uint16_t kEepromSave = 0x0081;
    static constexpr uint16_t kFactoryReset = 0x0082;
    static constexpr uint16_t kChannelSelect = 0x0090;
    static constexpr uint16_t kTuning = 0x0091;
    static constexpr uint16_t kFeatureWord = 151;
    static constexpr uint16_t kExtendedFeatureBit = 0x20;

    // `eeprom` may be null: saves then live only as long as the process.
    DriveRegisters(const Config& config, const EepromFile* eeprom,
                   const EepromFile::Image* savedImage);

    uint8_t station() const override;
    ModbusException readRegisters(uint16_t start, uint16_t count, uint16_t* out) override;
    ModbusException writeRegisters(uint16_t start, uint16_t count, const uint16_t* values) override;
    ModbusException readCoils(uint16_t start, uint16_t count, std::vector<bool>& out) override;
    ModbusException writeCoils(uint16_t start, const std::vector<bool>& values) override;
    std::vector<uint8_t> slaveIdData() const override;

    // Runs the drive's clock forward to nowMs, a millisecond at a time.
    void advance(uint64_t nowMs);
    uint8_t channelMask() const { return channelMask_; }
    bool servoOn() const;
    const std::array<int16_t, ParameterTable::kCount>& parameters() const { return params_; }
    const MotionModel& motion() const { return motion_; }

private:
    bool readOne(uint16_t address, uint16_t& value) const;
    ModbusException checkWrite(uint16_t address, uint16_t value) const;
    void writeOne(uint16_t address, uint16_t value);
    bool mapped(uint16_t address) const;
    MotionModel::Profile pointProfile(int point) const;
    MotionModel::Profile gotoProfile() const;
    void startSelectedPoint();
    void runJog(uint16_t word);
    void commandServo(uint16_t word);
    void saveEeprom(uint16_t command);
    void factoryReset();
    EepromFile::Image eepromImage() const;
    void applyImage(const EepromFile::Image& image);
    int16_t activeMode() const;
    IoModel::DriveState ioState() const;

    Config config_;
    const EepromFile* eeprom_;
    std::array<int16_t, ParameterTable::kCount> params_{};
    std::array<uint16_t, 2048> memory_{};  // plain storage registers
    int16_t powerUpMode_ = 0;
    uint16_t eepromResult_ = 0;
    uint16_t resetResult_ = 0;
    uint8_t channelMask_ = 0;
    uint16_t jogWord_ = 0;
    uint16_t servoQuery_ = 0;
    int32_t relativeDistance_ = 0;
    int32_t absoluteTarget_ = 0;
    uint64_t nowMs_ = 0;
    bool clockStarted_ = false;
    TuningMachine tuning_;
    MotionModel motion_;
    IoModel io_;
    AlarmLog alarms_;
};

}  // namespace drivesim
