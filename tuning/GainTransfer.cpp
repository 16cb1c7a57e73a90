#include "tuning/GainTransfer.h"

#include "link/LinkRegisterValues.h"
#include "link/ScopeStreamControl.h"

namespace {
constexpr uint16_t kGainWriteWaitMs = 100;
}

int TransferGains(const GainValues& values, const RowDone& written)
{
    for (int row = 0; row < kGainRowCount; ++row) {
        StreamPause pause;
        if (!LinkWriteRegisterValue(kGainParameters[row].reg, values[row], kGainWriteWaitMs))
            return row;
        if (written)
            written(row);
    }
    return -1;
}

int ReadGains(GainValues& values, const RowDone& read)
{
    for (int row = 0; row < kGainRowCount; ++row) {
        StreamPause pause;
        if (!LinkReadRegisterValues(kGainParameters[row].reg, 1, &values[row]))
            return row;
        if (read)
            read(row);
    }
    return -1;
}

bool EepromSaveConfirmed(int driveClass, bool commandAccepted)
{
    if (driveClass == 0)
        return commandAccepted;
    uint16_t saved = 0;
    StreamPause pause;
    return LinkReadRegisterValues(kEepromSaveRegister, 1, &saved) && (saved & 0xFF) == 1;
}
