#include "monitor/AlarmReader.h"

#include "link/LinkRegisterValues.h"
#include "link/ScopeStreamControl.h"
#include "texts/LoadText.h"

bool ReadAlarms(AlarmReadout& out)
{
    uint16_t registers[1 + kAlarmHistoryLength] = {};
    {
        StreamPause pause;
        if (!LinkReadRegisterValues(kAlarmRegister, 1 + kAlarmHistoryLength, registers))
            return false;
    }
    out.current = static_cast<uint8_t>(registers[0] & 0xFF);
    for (int k = 0; k < kAlarmHistoryLength; ++k)
        out.history[k] = static_cast<uint8_t>(registers[1 + k] & 0xFF);
    return true;
}

std::string AlarmRecordLabel(int record)
{
    return LoadText(385) + " " + std::to_string(record);
}
