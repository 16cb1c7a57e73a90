#pragma once
// The drive's register and coil map: parameters, commands (EEPROM save,
// factory reset, scope channels, auto tuning), alarms, I/O, pulse sums and
// the internal position block, each routed to the model that owns it.

#include "sim/AlarmLog.h"
#include "sim/DriveAxis.h"
#include "sim/EepromFile.h"
#include "sim/EepromStore.h"
#include "sim/IoModel.h"
#include "sim/ModelTable.h"
#include "sim/ParameterTable.h"
#include "sim/PowerUpSettings.h"
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
        uint32_t saveBusyMs = 50;              // an EEPROM write takes this long
        double pulseRate = 20000;              // the host's pulse train, command pulses a second
        bool testSignals = false;              // stream full-scale test waves instead of the motion
        uint32_t powerCycleAfterMs = 0;        // one power cycle this long after start; 0 never
    };

    static constexpr uint16_t kEepromSave = 0x0081;
    static constexpr uint16_t kFactoryReset = 0x0082;
    static constexpr uint16_t kChannelSelect = 0x0090;
    static constexpr uint16_t kTuning = 0x0091;
    static constexpr uint16_t kFeatureWord = 151;
    static constexpr uint16_t kExtendedFeatureBit = 0x20;

    // `eeprom` may be null: saves then live only as long as the process.
    // The drive starts from the saved image and the presets on top of the
    // factory values; that is also what its EEPROM holds.
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
    // Power off and on: RAM is lost, the drive starts again from its EEPROM
    // with the restart-marked values in force, the servo off and the stream
    // stopped. The alarm history survives; the current alarm does not.
    void powerCycle();
    const Config& config() const { return config_; }
    uint8_t channelMask() const { return channelMask_; }
    bool servoOn() const;
    const std::array<int16_t, ParameterTable::kCount>& parameters() const { return params_; }
    const DriveAxis& axis() const { return axis_; }
    // The scope signals of a millisecond of the last second; older or later
    // ones give the nearest kept.
    ScopeSample sampleAt(uint64_t ms) const;

private:
    bool readOne(uint16_t address, uint16_t& value) const;
    ModbusException checkWrite(uint16_t address, uint16_t value) const;
    void writeOne(uint16_t address, uint16_t value);
    bool mapped(uint16_t address) const;
    MotionModel::Profile pointProfile(int point) const;
    MotionModel::Profile gotoProfile() const;
    // Moves, jogs and homing are taken only in the internal position modes
    // with the servo on.
    bool acceptsMoves() const;
    void startSelectedPoint();
    void runJog(uint16_t word);
    void commandServo(uint16_t word);
    void factoryReset();
    // Parameter values as the drive runs with them (restart-marked ones
    // as they were at power-up).
    int16_t setting(int parameter) const { return powerUp_.effective(parameter, params_); }
    EepromFile::Image eepromImage() const;
    void applyImage(const EepromFile::Image& image);
    int16_t activeMode() const;
    IoModel::DriveState ioState() const;
    // One millisecond of the drive's life.
    void stepMs();
    DriveAxis::Inputs axisInputs(bool servoOn) const;
    void raiseAlarm(uint8_t code);

    // Progress of a command register (0x0081, 0x0082): reads 1 once done.
    enum class Command { Idle, Busy, Done, Failed };

    Config config_;
    std::array<int16_t, ParameterTable::kCount> params_{};
    std::array<uint16_t, 2048> memory_{};  // plain storage registers
    EepromStore eeprom_;
    PowerUpSettings powerUp_;
    uint8_t station_ = 1;                  // the address the drive answers at
    Command save_ = Command::Idle;
    Command reset_ = Command::Idle;
    Command* writing_ = nullptr;           // the command the EEPROM is busy with
    uint8_t channelMask_ = 0;
    uint16_t jogWord_ = 0;
    uint16_t servoQuery_ = 0;
    int32_t relativeDistance_ = 0;
    int32_t absoluteTarget_ = 0;
    uint64_t nowMs_ = 0;
    bool clockStarted_ = false;
    TuningMachine tuning_;
    DriveAxis axis_;
    IoModel io_;
    AlarmLog alarms_;
    static constexpr size_t kHistoryMs = 1024;
    std::array<ScopeSample, kHistoryMs> samples_{};
};

}  // namespace drivesim
