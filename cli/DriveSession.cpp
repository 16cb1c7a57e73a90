#include "cli/DriveSession.h"

#include "cli/CliExit.h"
#include "cli/CliTexts.h"
#include "cli/OptionValues.h"
#include "cli/ProgressDisplay.h"
#include "link/ConnectionSearch.h"
#include "link/ConnectionSettings.h"
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "param/ModelDriveType.h"
#include "platform/PortTable.h"
#include "tables/DriveModelTable.h"
#include "tables/ModelSelectionList.h"
#include "texts/LoadText.h"

#include <vector>

namespace {

using platform::PortTable;

// The COM number a device path goes by: its number in the port table, or
// a number with no device, mapped to it for this run.
int comOfDevice(const std::string& path)
{
    for (const platform::PortEntry& entry : PortTable::list())
        if (entry.devicePath == path)
            return entry.com;
    int com = PortTable::kLastCom;
    for (int candidate = PortTable::kFirstCom; candidate <= PortTable::kLastCom; ++candidate) {
        if (PortTable::devicePath(candidate).empty()) {
            com = candidate;
            break;
        }
    }
    PortTable::setExplicitEntry(com, path);
    return com;
}

std::string ratesText(const std::vector<int>& baudIndices)
{
    std::string text;
    for (int index : baudIndices)
        text += (text.empty() ? "" : ", ") + std::to_string(BaudRateOfIndex(index));
    return text + LoadText(kTextBaudUnit);
}

std::string knownModels()
{
    std::string list;
    for (int row = 0; row < kModelSelectionRowCount; ++row)
        list += (row ? " " : "") + ModelSelectionRowName(row);
    return list;
}

}  // namespace

std::string FamilyName(int family)
{
    switch (family) {
    case FamilyQm: return "Qm";
    case FamilyZt: return "Zt";
    default: return "Vr";
    }
}

DriveSession::DriveSession(CliContext& context) : context_(context) {}

DriveSession::~DriveSession()
{
    if (connected_)
        ReleaseLinkPort();
}

std::string DriveSession::devicePath() const
{
    return PortTable::devicePath(com_);
}

uint32_t DriveSession::baud() const
{
    return BaudRateOfIndex(baudIndex_);
}

int DriveSession::station() const
{
    return linkState().slaveAddress;
}

int DriveSession::connect()
{
    const CommandLine& line = context_.line;
    const ConnectionSettings defaults = ConnectionSettings::load(context_.settingsPath);
    int portRow = defaults.portRow;
    if (line.has("port")) {
        PortChoice port;
        if (!ParsePortOption(line.value("port"), port))
            return context_.fail(kExitUsage, LoadText(kTextBadPort) + line.value("port"));
        portRow = port.devicePath.empty() ? port.com : comOfDevice(port.devicePath);
    }
    std::vector<int> baudIndices;
    if (!ParseBaudOption(line.value("baud", "auto"), baudIndices))
        return context_.fail(kExitUsage, LoadText(kTextBadBaud) + line.value("baud"));
    int stationRow = defaults.stationRow;
    if (line.has("station") && !ParseStationOption(line.value("station"), stationRow))
        return context_.fail(kExitUsage, LoadText(kTextBadStation) + line.value("station"));
    long scanTo = 255;
    if (line.has("scan-to") && !ParseNumberInRange(line.value("scan-to"), 1, 255, scanTo))
        return context_.fail(kExitUsage, LoadText(kTextBadScanTo) + line.value("scan-to"));

    ConnectionSearch search(portRow, stationRow);
    search.setBaudIndices(baudIndices);
    search.setLastScanAddress(static_cast<int>(scanTo));
    search.setProgress([this](const SearchProgress& step) {
        std::string label = PortTable::displayName(step.port) + "  " + std::to_string(BaudRateOfIndex(step.baudIndex)) +
                            LoadText(kTextBaudUnit);
        if (step.address > 0)
            label += "  " + LoadText(kTextStationWord) + std::to_string(step.address);
        context_.progress.show(label, 0, 0);
        return !context_.isInterrupted();
    });
    const ConnectionSearch::Result result = search.run();
    context_.progress.clear();
    if (result.outcome == ConnectionSearch::Outcome::Cancelled)
        return context_.fail(kExitDriveFailure, LoadText(kTextInterrupted));
    if (result.outcome != ConnectionSearch::Outcome::Found) {
        std::string what = LoadText(215) + ": ";
        if (result.refusedPort != 0 && portRow != 0)
            what += PortTable::displayName(result.refusedPort) + ": " + platform::serialErrorText(result.refusedReason);
        else if (result.recheckFailed)
            what += LoadText(kTextStationAnsweredOnce) + std::to_string(result.slaveAddress);
        else
            what += LoadText(kTextNoDriveAnswered) + (portRow ? PortTable::displayName(portRow) : LoadText(kTextAnyPort)) +
                    ", " + ratesText(baudIndices) + ", " +
                    (stationRow ? LoadText(kTextStationWord) + std::to_string(stationRow)
                                : LoadText(kTextStationsUpTo) + std::to_string(scanTo));
        return context_.fail(kExitDriveFailure, what);
    }
    CompleteConnection(result.handle, result.slaveAddress);
    connected_ = true;
    com_ = result.port;
    baudIndex_ = result.baudIndex;
    return kExitOk;
}

int DriveSession::identify()
{
    identity_ = IdentifyDrive(linkState().slaveAddress);
    if (!identity_.answered)
        return context_.fail(kExitDriveFailure, std::string(kGetIdErrorText) + " " + LoadText(kTextNameTheModel));
    return kExitOk;
}

int DriveSession::takeModel()
{
    if (context_.line.has("model")) {
        DriveType named;
        if (!DriveTypeOfModel(context_.line.value("model"), named))
            return context_.fail(kExitUsage, LoadText(kTextUnknownModel) + context_.line.value("model") + ". " +
                                                 LoadText(kTextKnownModels) + knownModels());
        drive_ = named;
    } else {
        if (const int code = identify())
            return code;
        const int row = SelectionRowOfModel(identity_.family, identity_.group);
        if (row == kNoModelRowChosen)
            return context_.fail(kExitDriveFailure, LoadText(233) + " (" + printableCode() + ") " +
                                                        LoadText(kTextNameTheModel));
        DriveType identified;
        ApplyModelSelection(identified, row);
        drive_ = identified;
    }
    CurrentDriveType() = drive_;
    return kExitOk;
}

int DriveSession::connectWithModel()
{
    if (const int code = connect())
        return code;
    return takeModel();
}

std::string DriveSession::printableCode() const
{
    std::string code;
    for (char c : identity_.code) {
        if (c == '\0')
            break;
        code += (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F) ? c : '?';
    }
    while (!code.empty() && code.back() == ' ')
        code.pop_back();
    return code;
}
