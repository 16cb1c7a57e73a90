#include "sim/DriveStorage.h"

namespace drivesim {
void DriveStorage::loadFactory(const std::string& code, uint8_t station, int16_t controlMode, int16_t pr1f)
{
    using namespace reg;
    modelCode = code;
    params = ParameterTable::factoryValues(code, station, controlMode, pr1f);
    memory.fill(0);
    for (int i = 0; i < 8; ++i)
        memory[kPointSpeeds9 + i] = static_cast<uint16_t>(900 + 100 * i);
    memory[kHomingSpeed] = 100;
    memory[kCreepSpeed] = 10;
    memory[kHomingAcc] = memory[kHomingDec] = memory[kJogAcc] = memory[kJogDec] = 100;
    memory[kTargetSpeed] = 100;
    memory[kBumpTorque] = 100;  // %
    memory[kBumpTime] = 100;    // ms
    memory[kSoftLimitPositive] = 0xFFFF;  // the whole 32-bit range
    memory[kSoftLimitPositive + 1] = 0x7FFF;
    memory[kSoftLimitNegative] = 0x0000;
    memory[kSoftLimitNegative + 1] = 0x8000;
}

bool DriveStorage::persistent(uint16_t a)
{
    using namespace reg;
    return a < ParameterTable::kCount || inRange(a, kPointPositions, kPointPositions + 31) ||
           inRange(a, kPointSpeeds9, kPointSpeeds9 + 7) || inRange(a, kHomingMode, kExtendedBlockEnd);
}

EepromFile::Image DriveStorage::image() const
{
    EepromFile::Image out;
    for (int i = 0; i < ParameterTable::kCount; ++i)
        out[static_cast<uint16_t>(i)] = static_cast<uint16_t>(params[i]);
    for (uint16_t a = ParameterTable::kCount; a < memory.size(); ++a)
        if (persistent(a))
            out[a] = memory[a];
    return out;
}

void DriveStorage::apply(const EepromFile::Image& image)
{
    for (const auto& [a, v] : image) {
        if (a < ParameterTable::kCount) {
            if (ParameterTable::accepts(modelCode, a, static_cast<int16_t>(v)))
                params[a] = static_cast<int16_t>(v);
        } else if (a < memory.size() && persistent(a)) {
            memory[a] = v;
        }
    }
}

DriveStorage::Parameters DriveStorage::settings() const
{
    Parameters out;
    for (int p = 0; p < ParameterTable::kCount; ++p)
        out[p] = setting(p);
    return out;
}

}  // namespace drivesim
