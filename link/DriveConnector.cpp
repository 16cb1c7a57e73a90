#include "link/DriveConnector.h"

#include "texts/LoadText.h"
#include "link/ConnectionSettings.h"
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "platform/UserPrompt.h"

#include <cstdio>

DriveConnector::DriveConnector(std::string iniPath) : iniPath_(std::move(iniPath))
{
}

void DriveConnector::setProgress(std::function<bool(const SearchProgress&)> progress)
{
    progress_ = std::move(progress);
}

void DriveConnector::setLastScanAddress(int address)
{
    lastScanAddress_ = address;
}

std::string DriveConnector::connectedMessage(int port, int baudIndex, int slaveAddress)
{
    const std::string text = LoadText(216) + "\nSerial Port : " + std::to_string(port) +
                             "\nBuadrate : " + std::to_string(BaudRateOfIndex(baudIndex));
    char idLine[32];
    std::snprintf(idLine, sizeof idLine, "\nID: %d", slaveAddress);
    return text + idLine;
}

DriveConnector::Outcome DriveConnector::connect(const ConnectRequest& request)
{
    ConnectionSettings settings;
    settings.saveAsDefault = request.saveAsDefault ? 1 : 0;
    settings.portRow = request.portRow;
    settings.stationRow = request.stationRow;
    settings.save(iniPath_);

    ReleaseLinkPort();
    result_ = ConnectionSearch::Result();
    if (request.offline) {
        linkState().online = 0;
        return Outcome::Offline;
    }

    ConnectionSearch search(request.portRow, request.stationRow);
    search.setProgress(progress_);
    search.setLastScanAddress(lastScanAddress_);
    result_ = search.run();
    switch (result_.outcome) {
    case ConnectionSearch::Outcome::Cancelled:
        return Outcome::Cancelled;
    case ConnectionSearch::Outcome::NotFound:
        if (!result_.recheckFailed)
            platform::userPrompt().messageBox(LoadText(215), "Error", platform::PromptButtons::Ok,
                                              platform::PromptIcon::Error);
        return Outcome::Failed;
    case ConnectionSearch::Outcome::Found:
        break;
    }
    CompleteConnection(result_.handle, result_.slaveAddress);
    platform::userPrompt().messageBox(connectedMessage(result_.port, result_.baudIndex, result_.slaveAddress),
                                      LoadText(217), platform::PromptButtons::Ok,
                                      platform::PromptIcon::Information);
    return Outcome::Connected;
}
