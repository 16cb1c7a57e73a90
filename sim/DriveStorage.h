#pragma once
// The drive's stored settings: the 128 parameters, the plain storage
// registers (point table, homing block, ...) with their factory defaults, the
// power-up copy of the restart-marked parameters, and the image they make in
// the EEPROM. Also the register addresses the drive's parts share.

#include "sim/EepromFile.h"
#include "sim/ParameterTable.h"
#include "sim/PowerUpSettings.h"

#include <array>
#include <cstdint>
#include <string>

namespace drivesim {

// Register addresses of the drive.
namespace reg {
constexpr uint16_t kEepromSave = 0x0081;
constexpr uint16_t kFactoryReset = 0x0082;
constexpr uint16_t kChannelSelect = 0x0090;
constexpr uint16_t kTuning = 0x0091;
constexpr uint16_t kFeatureWord = 151;
constexpr uint16_t kPosition = 180;          // 180-181 read: position; write: absolute target
constexpr uint16_t kRelative = 182;          // 182-183 relative distance
constexpr uint16_t kPointPositions = 200;    // 200-231, point n at 198 + 2n
constexpr uint16_t kPointSpeeds9 = 720;      // 720-727, points 9-16
constexpr uint16_t kAlarmCurrent = 899;      // 899, history 900-915
constexpr uint16_t kCommandSum = 924;        // 924-925
constexpr uint16_t kFeedbackSum = 926;       // 926-927
constexpr uint16_t kActiveMode = 939;
constexpr uint16_t kHomeReference = 941;     // 941-942
constexpr uint16_t kHomingMode = 1200;       // 1200-1220 (1221-1222 extended): the homing block
constexpr uint16_t kHomingOffset = 1201;     // 1201-1202
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
constexpr uint16_t kBlockEnd = 1220;
constexpr uint16_t kHomingOptions = 1222;      // bit 0: the offset skips the gear
constexpr uint16_t kExtendedBlockEnd = 1222;
constexpr uint16_t kJogWord = 2001;
constexpr uint16_t kStatusWord = 2002;
constexpr uint16_t kServoQuery = 2003;

// Words written to kStatusWord: servo off/on (bit 0) and start homing.
constexpr uint16_t kServoCommand = 0x400;
constexpr uint16_t kHomingCommand = 0x801;

constexpr bool inRange(uint16_t a, uint16_t first, uint16_t last) { return a >= first && a <= last; }
}  // namespace reg

// Parameters and storage registers, factory values and EEPROM image.
struct DriveStorage {
    using Parameters = std::array<int16_t, ParameterTable::kCount>;

    Parameters params{};
    std::array<uint16_t, 2048> memory{};
    PowerUpSettings powerUp;
    std::string modelCode;

    // Factory values: the model's parameters (its code as given, "VR-007")
    // for this station, control mode and Pr.1F, and the storage registers'
    // defaults. The model's code also decides which values apply() refuses.
    void loadFactory(const std::string& modelCode, uint8_t station, int16_t controlMode, int16_t pr1f);
    // The registers an EEPROM keeps, and loading them back (parameters the
    // drive would refuse are skipped).
    EepromFile::Image image() const;
    void apply(const EepromFile::Image& image);
    static bool persistent(uint16_t address);

    // A parameter as the drive runs with it (restart-marked ones as they
    // were at power-up).
    int16_t setting(int parameter) const { return powerUp.effective(parameter, params); }
    Parameters settings() const;
    // A signed 32-bit value kept in two storage registers, low word first.
    int32_t pair(uint16_t low) const
    {
        return static_cast<int32_t>((uint32_t(memory[low + 1]) << 16) | memory[low]);
    }
};

}  // namespace drivesim
