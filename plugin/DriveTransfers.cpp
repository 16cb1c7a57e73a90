#include "plugin/DriveTransfers.h"

#include "plugin/DriveBus.h"
#include "plugin/WaypadShared.h"

namespace waypad {
namespace {

constexpr uint16_t kServoQueryCommand = 0x400;
constexpr DriveBus::Timing kBatchWriteTiming{25, 200};

int16_t asSigned(uint16_t v) { return static_cast<int16_t>(v); }

// Reads the servo state: the drive answers 0x400 plus 1 while it is on.
bool readServoState(DriveBus& bus, WaypadShared& s)
{
    uint16_t answer = 0;
    if (!bus.writeRegister(kRegServoQuery, kServoQueryCommand) || !bus.readRegisters(kRegServoQuery, 1, &answer))
        return false;
    s.servoReadOn = (answer & 0xFC00) == 0x400 && (answer & 0x03FF) != 0;
    return true;
}

bool readSpeeds(DriveBus& bus, ParameterBlock& block, uint16_t start, int firstPoint, int count)
{
    uint16_t words[8] = {};
    if (!bus.readRegisters(start, static_cast<uint16_t>(count), words))
        return false;
    for (int i = 0; i < count; ++i)
        block.set(PointSpeed(firstPoint + i), asSigned(words[i]));
    return true;
}

bool readHomingAndLimits(DriveBus& bus, WaypadShared& s)
{
    ParameterBlock& b = s.block;
    uint16_t homing[10] = {};
    if (!bus.readRegisters(kRegHomingBlock, 10, homing))
        return false;
    b.set(kHomingMode, homing[0]);
    b.set(kHomingOffset, JoinWords(homing[1], homing[2]));
    b.set(kHomingSpeed, homing[3]);
    b.set(kCreepSpeed, homing[4]);
    b.set(kHomingAcc, homing[5]);
    b.set(kHomingDec, homing[6]);
    b.set(kJogAcc, homing[7]);
    b.set(kJogDec, homing[8]);
    b.set(kOnPosDelay, homing[9]);

    // Registers 1221-1222 exist only on drives with the extended feature.
    const bool extended = s.extended();
    uint16_t limits[8] = {};
    if (!bus.readRegisters(kRegBumpBlock, extended ? 8 : 6, limits))
        return false;
    b.set(kBumpTorque, limits[0]);
    b.set(kBumpTime, limits[1]);
    b.set(kSoftLimitPos, JoinWords(limits[2], limits[3]));
    b.set(kSoftLimitNeg, JoinWords(limits[4], limits[5]));
    b.set(kRegister1222, extended ? limits[7] : 0);
    if (extended)
        b.set(kSkipGearRatio, limits[7] & 1);
    return true;
}

}  // namespace

bool ReadAllParameters(DriveBus& bus, WaypadShared& s)
{
    ParameterBlock& b = s.block;
    uint16_t word = 0;
    const bool modeRead = bus.readRegisters(kRegActiveMode, 1, &word);
    if (modeRead)
        s.activeMode = asSigned(word);
    ++s.progress;

    if (modeRead) {
        // A drive that does not answer here is taken as one without the feature.
        s.featureWord = bus.readRegisters(kRegFeatureWord, 1, &word) ? word : 0;
        if (s.extended())
            readServoState(bus, s);
    }
    ++s.progress;

    uint16_t positions[2 * kPointCount] = {};
    if (!bus.readRegisters(kRegPointPositions, 2 * kPointCount, positions))
        return false;
    for (int i = 0; i < kPointCount; ++i)
        b.set(PointPosition(i), JoinWords(positions[2 * i], positions[2 * i + 1]));
    ++s.progress;

    if (!readSpeeds(bus, b, kRegPointSpeeds1, 0, 4))
        return false;
    ++s.progress;
    if (!readSpeeds(bus, b, kRegPointSpeeds5, 4, 4))
        return false;
    ++s.progress;
    if (!readSpeeds(bus, b, kRegPointSpeeds9, 8, 8))
        return false;
    ++s.progress;

    uint16_t jog[3] = {};
    if (!bus.readRegisters(kRegJogSpeed, 3, jog))
        return false;
    b.set(kJogSpeed, jog[0]);
    b.set(kPointAcc, asSigned(jog[1]));
    b.set(kPointDec, asSigned(jog[2]));
    ++s.progress;

    const bool ok = readHomingAndLimits(bus, s);
    ++s.progress;
    return ok;
}

namespace {

bool writeSpeeds(DriveBus& bus, const ParameterBlock& b, uint16_t start, int firstPoint, int count)
{
    uint16_t words[8] = {};
    for (int i = 0; i < count; ++i)
        words[i] = LowWord(b.get(PointSpeed(firstPoint + i)));
    return bus.writeRegisters(start, static_cast<uint16_t>(count), words);
}

// One register per exchange, in ascending order, up to the first failure.
bool writeEach(DriveBus& bus, uint16_t start, const uint16_t* words, int count)
{
    for (int i = 0; i < count; ++i)
        if (!bus.writeRegister(static_cast<uint16_t>(start + i), words[i]))
            return false;
    return true;
}

}  // namespace

bool WriteAllParameters(DriveBus& bus, WaypadShared& s)
{
    const ParameterBlock& b = s.block;
    bool ok = writeSpeeds(bus, b, kRegPointSpeeds1, 0, 4);
    ++s.progress;

    BusTimingScope batch(bus, kBatchWriteTiming);
    if (ok) {
        uint16_t positions[2 * kPointCount];
        for (int i = 0; i < kPointCount; ++i) {
            positions[2 * i] = LowWord(b.get(PointPosition(i)));
            positions[2 * i + 1] = HighWord(b.get(PointPosition(i)));
        }
        ok = bus.writeRegisters(kRegPointPositions, 2 * kPointCount, positions);
        ++s.progress;
    }
    if (ok) {
        ok = writeSpeeds(bus, b, kRegPointSpeeds5, 4, 4);
        ++s.progress;
    }
    if (ok) {
        ok = writeSpeeds(bus, b, kRegPointSpeeds9, 8, 8);
        ++s.progress;
    }
    if (ok) {
        const uint16_t jog[3] = {LowWord(b.get(kJogSpeed)), LowWord(b.get(kPointAcc)), LowWord(b.get(kPointDec))};
        ok = bus.writeRegisters(kRegJogSpeed, 3, jog);
        ++s.progress;
    }
    if (ok) {
        const int32_t offset = b.get(kHomingOffset);
        const uint16_t homing[10] = {
            LowWord(b.get(kHomingMode)), LowWord(offset), HighWord(offset),
            LowWord(b.get(kHomingSpeed)), LowWord(b.get(kCreepSpeed)), LowWord(b.get(kHomingAcc)),
            LowWord(b.get(kHomingDec)), LowWord(b.get(kJogAcc)), LowWord(b.get(kJogDec)),
            LowWord(b.get(kOnPosDelay))};
        ok = writeEach(bus, kRegHomingBlock, homing, 10);
        ++s.progress;
    }
    if (ok) {
        const int32_t pos = b.get(kSoftLimitPos), neg = b.get(kSoftLimitNeg);
        const uint16_t limits[6] = {LowWord(b.get(kBumpTorque)), LowWord(b.get(kBumpTime)),
                                    LowWord(pos), HighWord(pos), LowWord(neg), HighWord(neg)};
        ok = writeEach(bus, kRegBumpBlock, limits, 6);
    }
    if (ok && s.extended()) {
        const uint16_t options = static_cast<uint16_t>((b.get(kRegister1222) & ~1) | (b.get(kSkipGearRatio) & 1));
        ok = bus.writeRegister(kRegGearOptions, options);
    }
    if (ok) {
        ok = bus.writeRegister(kRegEepromSave, 2);
        ++s.progress;
    }
    return ok;
}

}  // namespace waypad
