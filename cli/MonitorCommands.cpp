// alarms and io: one reading of the alarm list and of the I/O monitor.

#include "cli/CliCommands.h"
#include "cli/CliExit.h"
#include "cli/CliTexts.h"
#include "cli/DriveSession.h"
#include "cli/PlainText.h"
#include "link/LinkConnection.h"
#include "monitor/AlarmListModel.h"
#include "monitor/AlarmTexts.h"
#include "monitor/IoMonitorPoller.h"
#include "monitor/IoPins.h"
#include "texts/LoadText.h"

namespace {

// The monitor's library master tries each exchange once; a reading on its
// own gets a few rounds to get every part through a noisy line.
constexpr int kIoRounds = 3;

JsonValue alarmValue(int code)
{
    JsonValue alarm = JsonValue::object();
    alarm.set("code", code);
    alarm.set("text", TrimBlanks(AlarmText(code)));
    return alarm;
}

template <size_t N>
JsonValue pinValues(const std::array<IoPin, N>& pins, unsigned bits)
{
    JsonValue list = JsonValue::array();
    for (const IoPin& pin : pins) {
        JsonValue value = JsonValue::object();
        value.set("pin", pin.pin);
        value.set("signal", pin.signal);
        value.set("active", ((bits >> pin.bit) & 1) != 0);
        value.set("function", LoadText(pin.textId));
        list.push(value);
    }
    return list;
}

}  // namespace

int RunAlarms(CliContext& context, CommandOutput& output)
{
    DriveSession session(context);
    if (const int code = session.connect())
        return code;
    AlarmReadout readout;
    if (!ReadAlarms(readout))
        return context.fail(kExitDriveFailure, LoadText(409));
    AlarmListModel model;
    model.apply(&readout);

    output.data.set("current", alarmValue(readout.current));
    JsonValue& history = output.data.set("history", JsonValue::array());
    output.lines.push_back(PadRight(LoadText(386) + ":", 16) + TrimBlanks(model.statusText()));
    for (int k = 0; k < kAlarmHistoryLength; ++k) {
        JsonValue record = alarmValue(readout.history[k]);
        record.set("record", k + 1);
        history.push(record);
        output.lines.push_back(PadRight(AlarmRecordLabel(k + 1) + ":", 16) + TrimBlanks(model.historyTexts()[k]));
    }
    return kExitOk;
}

int RunIo(CliContext& context, CommandOutput& output)
{
    DriveSession session(context);
    if (const int code = session.connect())
        return code;
    IoMonitorPoller poller(LinkModbus(), context.ioIntervalMs);
    bool complete = false;
    for (int round = 0; round < kIoRounds && !complete; ++round) {
        poller.readAll();
        const IoReadout& readout = poller.readout();
        complete = readout.answering && readout.sumsKnown && readout.inputsKnown && readout.outputsKnown;
    }
    const IoReadout& readout = poller.readout();
    if (!complete)
        return context.fail(kExitDriveFailure, LoadText(409));

    JsonValue& data = output.data;
    data.set("mode", readout.modeValue);
    data.set("modeName", readout.modeText);
    data.set("commandPulseSum", readout.commandSum);
    data.set("feedbackPulseSum", readout.feedbackSum);
    data.set("inputs", pinValues(kInputPins, readout.inputBits));
    data.set("outputs", pinValues(kOutputPins, readout.outputBits));
    output.lines.push_back(readout.modeText);
    output.lines.push_back("Command pulse sum:  " + std::to_string(readout.commandSum));
    output.lines.push_back("Feedback pulse sum: " + std::to_string(readout.feedbackSum));
    output.lines.push_back(std::string());
    for (const std::string& line : SplitLines(readout.inputText))
        output.lines.push_back(line);
    output.lines.push_back(std::string());
    for (const std::string& line : SplitLines(readout.outputText))
        output.lines.push_back(line);
    return kExitOk;
}
