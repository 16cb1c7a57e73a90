// ports and identify: the port table, and the drive found on it.

#include "cli/CliCommands.h"
#include "cli/CliExit.h"
#include "cli/DriveSession.h"
#include "cli/PlainText.h"
#include "platform/PortTable.h"
#include "tables/DriveModelTable.h"
#include "tables/ModelSelectionList.h"

int RunPorts(CliContext&, CommandOutput& output)
{
    JsonValue& ports = output.data.set("ports", JsonValue::array());
    for (const platform::PortEntry& entry : platform::PortTable::list()) {
        JsonValue port = JsonValue::object();
        port.set("port", "COM" + std::to_string(entry.com));
        port.set("device", entry.devicePath);
        port.set("mapped", entry.explicitEntry);
        ports.push(port);
        output.lines.push_back(PadRight("COM" + std::to_string(entry.com), 6) + entry.devicePath +
                               (entry.explicitEntry ? "  (PortMap)" : ""));
    }
    return kExitOk;
}

int RunIdentify(CliContext& context, CommandOutput& output)
{
    DriveSession session(context);
    if (const int code = session.connect())
        return code;
    JsonValue& data = output.data;
    data.set("port", "COM" + std::to_string(session.com()));
    data.set("device", session.devicePath());
    data.set("baud", static_cast<unsigned>(session.baud()));
    data.set("station", session.station());
    if (context.line.has("model")) {
        // Named, not asked: what the tables hold for that model.
        if (const int code = session.takeModel())
            return code;
        data.set("identified", false);
        data.set("code", JsonValue());
    } else {
        if (const int code = session.identify())
            return code;
        data.set("identified", true);
        data.set("code", session.printableCode());
    }
    const int family = context.line.has("model") ? session.drive().family : session.identity().family;
    const int group = context.line.has("model") ? session.drive().group() : session.identity().group;
    // The placeholder rows of the table name no model.
    std::string model = ModelName(family, group);
    if (model.find_first_not_of('-') == std::string::npos)
        model.clear();
    data.set("family", FamilyName(family));
    data.set("group", group);
    data.set("model", model.empty() ? JsonValue() : JsonValue(model));
    data.set("driveClass", DriveClassOfModel(family, group));
    data.set("listed", SelectionRowOfModel(family, group) != kNoModelRowChosen);

    output.lines = {
        "port:        COM" + std::to_string(session.com()) + " (" + session.devicePath() + ")",
        "baud:        " + std::to_string(session.baud()),
        "station:     " + std::to_string(session.station()),
        "code:        " + data.find("code")->toPlain(),
        "family:      " + FamilyName(family),
        "group:       " + std::to_string(group),
        "model:       " + (model.empty() ? std::string("-") : model),
        "drive class: " + std::to_string(DriveClassOfModel(family, group)),
    };
    return kExitOk;
}
