#pragma once
// The drive's register and coil map: parameters, commands (EEPROM save,
// factory reset, scope channels, auto tuning), alarms, I/O, pulse sums and
// the internal position block, each routed to the part that owns it.

#include "sim/DriveConfig.h"
#include "sim/DriveOperation.h"
#include "sim/DriveStorage.h"
#include "sim/EepromFile.h"
#include "sim/EepromStore.h"
#include "sim/SlaveDataModel.h"

#include <vector>

namespace drivesim {

// Everything a master can read or write on the drive.
class DriveRegisters : public SlaveDataModel {
public:
    using Config = DriveConfig;
    static constexpr uint16_t kExtendedFeatureBit = 0x20;

    // `eeprom` may be null: saves then live only as long as the process.
    // The drive starts from the saved image and the presets on top of the
    // factory values; that is also what its EEPROM holds.
    DriveRegisters(const Config& config, const EepromFile* eeprom, const EepromFile::Image* savedImage);
    // The operation refers to the storage inside: a copy would point back here.
    DriveRegisters(const DriveRegisters&) = delete;
    DriveRegisters& operator=(const DriveRegisters&) = delete;

    uint8_t station() const override { return station_; }
    ModbusException readRegisters(uint16_t start, uint16_t count, uint16_t* out) override;
    ModbusException writeRegisters(uint16_t start, uint16_t count, const uint16_t* values) override;
    ModbusException readCoils(uint16_t start, uint16_t count, std::vector<bool>& out) override;
    ModbusException writeCoils(uint16_t start, const std::vector<bool>& values) override;
    std::vector<uint8_t> slaveIdData() const override;

    // Runs the drive's clock forward to nowMs.
    void advance(uint64_t nowMs);
    // Power off and on: RAM is lost, the drive starts again from its EEPROM
    // with the restart-marked values in force, the servo off and the stream
    // stopped. The alarm history survives; the current alarm does not.
    void powerCycle();
    const Config& config() const { return config_; }
    uint8_t channelMask() const { return channelMask_; }
    bool servoOn() const { return operation_.servoOn(); }
    const DriveStorage::Parameters& parameters() const { return storage_.params; }
    const DriveOperation& operation() const { return operation_; }
    ScopeSample sampleAt(uint64_t ms) const { return operation_.sampleAt(ms); }

private:
    // Progress of a command register (0x0081, 0x0082): reads 1 once done.
    enum class Command { Idle, Busy, Done, Failed };

    bool readOne(uint16_t address, uint16_t& value) const;
    ModbusException checkWrite(uint16_t address, uint16_t value) const;
    void writeOne(uint16_t address, uint16_t value);
    bool mapped(uint16_t address) const;
    void startEepromWrite(Command& command);
    void factoryReset();

    Config config_;
    DriveStorage storage_;
    EepromStore eeprom_;
    DriveOperation operation_;
    uint8_t station_ = 1;                  // the address the drive answers at
    Command save_ = Command::Idle;
    Command reset_ = Command::Idle;
    Command* writing_ = nullptr;           // the command the EEPROM is busy with
    uint8_t channelMask_ = 0;
    uint16_t jogWord_ = 0;
    uint16_t servoQuery_ = 0;
    int32_t relativeDistance_ = 0;
    int32_t absoluteTarget_ = 0;
};

}  // namespace drivesim
