// get and set: one parameter of the drive, with its texts and, for a new
// value, the range check, locks and read-back of the parameter page.

#include "cli/CliCommands.h"
#include "cli/CliExit.h"
#include "cli/CliPage.h"
#include "cli/CliTexts.h"
#include "cli/ConsolePrompt.h"
#include "cli/DriveSession.h"
#include "cli/OptionValues.h"
#include "cli/PlainText.h"
#include "param/DriveParameterReader.h"
#include "param/PageDriveCommands.h"
#include "param/PageMode.h"
#include "param/ParameterEdit.h"
#include "param/RangeText.h"
#include "texts/LoadText.h"

namespace {

// The parameter's number and texts, as the page holds them.
void describeParameter(const ParameterPage& page, int parameter, JsonValue& data)
{
    data.set("parameter", ParameterName(parameter));
    data.set("register", parameter);
    const int index = page.rowOf(parameter);
    const PageRow* row = index >= 0 ? &page.row(index) : nullptr;
    const bool texts = row && !TrimBlanks(row->definition).empty();
    data.set("definition", texts ? JsonValue(TrimBlanks(row->definition)) : JsonValue());
    data.set("range", texts ? JsonValue(TrimBlanks(row->range)) : JsonValue());
    data.set("unit", texts ? JsonValue(TrimBlanks(row->unit)) : JsonValue());
    data.set("restart", page.restartMarked(parameter));
}

int parameterOrFail(const CliContext& context, int& parameter)
{
    const std::string& text = context.line.arguments.at(0);
    if (!ParseParameterNumber(text, parameter))
        return context.fail(kExitUsage, LoadText(kTextBadParameter) + text);
    return kExitOk;
}

// Why the page refused or failed an edit, and the exit code of that.
int editFailed(const CliContext& context, EditResult result, const ParameterPage& page, int parameter,
               const CliPageHost& host)
{
    const std::string name = ParameterName(parameter) + ": ";
    switch (result) {
    case EditResult::OutOfRange: {
        const RangeLimits limits = ParseRangeText(page.row(page.rowOf(parameter)).range);
        return context.fail(kExitUsage, name + LoadText(355) + " (" + std::to_string(limits.minimum) + " ~ " +
                                            std::to_string(limits.maximum) + ")");
    }
    case EditResult::FirmwareLocked:
    case EditResult::Unused:
    case EditResult::AutoTuningLocked:
        return context.fail(kExitUsage, name + host.description());
    case EditResult::ReadBackDiffers:
        return context.fail(kExitDriveFailure, name + LoadText(357) + " (" +
                                                   std::to_string(page.row(page.rowOf(parameter)).value) + ")");
    default:
        return context.fail(kExitDriveFailure, name + (host.status().empty() ? LoadText(334) : host.status()));
    }
}

}  // namespace

int RunGet(CliContext& context, CommandOutput& output)
{
    int parameter = 0;
    if (const int code = parameterOrFail(context, parameter))
        return code;
    DriveSession session(context);
    if (const int code = session.connectWithModel())
        return code;
    CliPageHost host(context, std::string());
    const CliPage built = BuildCliPage(context, session.drive(), PageModeParameter, true, host);
    int16_t value = 0;
    if (!ReadDriveRegister(static_cast<uint8_t>(parameter), value))
        return context.fail(kExitDriveFailure, ParameterName(parameter) + ": " + LoadText(kTextReadFailed));
    describeParameter(*built.page, parameter, output.data);
    output.data.set("value", static_cast<int>(value));
    // The value alone, so that a script can take it as it is.
    output.lines.push_back(std::to_string(value));
    return kExitOk;
}

int RunSet(CliContext& context, CommandOutput& output)
{
    int parameter = 0;
    if (const int code = parameterOrFail(context, parameter))
        return code;
    int32_t value = 0;
    const std::string& valueText = context.line.arguments.at(1);
    if (!ParseRegisterValue(valueText, value))
        return context.fail(kExitUsage, LoadText(kTextBadValue) + valueText);
    DriveSession session(context);
    if (const int code = session.connectWithModel())
        return code;
    CliPageHost host(context, LoadText(kTextReadingParameters));
    CliPage built = BuildCliPage(context, session.drive(), PageModeParameter, true, host);
    if (!built.systemInitLoaded)
        return context.fail(kExitUsage, MissingSystemInitText(context, built) + ": " + LoadText(kTextRangeNeedsFile));
    ParameterPage& page = *built.page;
    // The whole page, as the window reads it: the edit compares with the
    // current value and honours the lock of real-time auto tuning (Pr.21).
    if (!ReadAllParameters(page, host))
        return context.fail(kExitDriveFailure, LoadText(kTextReadFailed));
    const int32_t previous = page.row(page.rowOf(parameter)).value;

    host.setAnswer(value);
    const EditResult result = EditParameter(page, page.rowOf(parameter), host);
    if (result != EditResult::Written && result != EditResult::SameValue)
        return editFailed(context, result, page, parameter, host);
    const bool eeprom = context.line.has("eeprom");
    if (eeprom && !SavePageToEeprom(page, host)) {
        if (context.prompt.declined())
            return context.fail(kExitUsage, LoadText(kTextNotConfirmed));
        return context.fail(kExitDriveFailure, LoadText(kTextEepromFailed));
    }

    describeParameter(page, parameter, output.data);
    output.data.set("previous", previous);
    output.data.set("value", value);
    output.data.set("changed", result == EditResult::Written);
    output.data.set("eeprom", eeprom);
    output.lines.push_back(ParameterName(parameter) + ": " + std::to_string(previous) + " -> " + std::to_string(value) +
                           (result == EditResult::SameValue ? LoadText(354) : std::string()) +
                           (eeprom ? LoadText(kTextAndSavedToEeprom) : std::string()));
    return kExitOk;
}
