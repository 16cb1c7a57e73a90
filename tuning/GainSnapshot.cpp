#include "tuning/GainSnapshot.h"

#include "link/LinkRegisterValues.h"
#include "link/ScopeStreamControl.h"
#include "texts/LoadText.h"

#include <cstdio>

const std::array<uint8_t, kSnapshotSize> kSnapshotParameters = {
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x18, 0x19, 0x1A, 0x1B,
    0x1C, 0x20, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x3A};

GainSnapshot GainSnapshot::fromRegisters(const uint16_t* registers)
{
    GainSnapshot snapshot;
    snapshot.taken = true;
    for (int i = 0; i < kSnapshotSize; ++i)
        snapshot.values[i] = registers[kSnapshotParameters[i] - kSnapshotReadStart];
    return snapshot;
}

uint16_t GainSnapshot::valueOf(uint8_t parameter) const
{
    for (int i = 0; i < kSnapshotSize; ++i)
        if (kSnapshotParameters[i] == parameter)
            return values[i];
    return 0;
}

std::string ChangeListText(const GainSnapshot& before, const GainSnapshot& now)
{
    std::string text;
    for (int i = 0; i < kSnapshotSize; ++i) {
        if (before.values[i] == now.values[i])
            continue;
        char line[64];
        std::snprintf(line, sizeof line, "Pr%02X { %5u ---> %5u }\n", kSnapshotParameters[i],
                      unsigned(before.values[i]), unsigned(now.values[i]));
        text += line;
    }
    return text.empty() ? LoadText(458) : text;
}

GainSnapshot& CurrentGainSnapshot()
{
    static GainSnapshot snapshot;
    return snapshot;
}

bool ReadGainSnapshot(GainSnapshot& out)
{
    uint16_t registers[kSnapshotReadCount] = {};
    StreamPause pause;
    if (!LinkReadRegisterValues(kSnapshotReadStart, kSnapshotReadCount, registers))
        return false;
    out = GainSnapshot::fromRegisters(registers);
    return true;
}

bool ReadChangeList(std::string& text)
{
    GainSnapshot now;
    if (!CurrentGainSnapshot().taken || !ReadGainSnapshot(now))
        return false;
    text = ChangeListText(CurrentGainSnapshot(), now);
    return true;
}
