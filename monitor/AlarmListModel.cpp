#include "monitor/AlarmListModel.h"

#include "monitor/AlarmTexts.h"
#include "texts/LoadText.h"

bool AlarmListModel::apply(const AlarmReadout* readout)
{
    if (readout == nullptr) {
        // The history keeps its last texts; the status says so once.
        if (lastShown_ == kFailureShown)
            return false;
        statusText_ = LoadText(409);
        statusColour_ = kAlarmColourRed;
        flashing_ = false;
        lastShown_ = kFailureShown;
        return true;
    }
    last_ = *readout;
    const int code = readout->current;
    statusText_ = AlarmText(code);
    for (int k = 0; k < kAlarmHistoryLength; ++k)
        history_[k] = AlarmText(readout->history[k]);
    if (code == lastShown_)
        return false;  // the same alarm keeps flashing undisturbed
    statusColour_ = code == 0 ? kAlarmColourGreen : kAlarmColourRed;
    flashing_ = code != 0;
    lastShown_ = code;
    return true;
}
