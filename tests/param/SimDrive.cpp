#include "SimDrive.h"

#include "ParamFixtures.h"
#include "tests/link/LinkTestBed.h"

#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "tables/DriveType.h"

namespace paramtest {

namespace {
constexpr int kBaudIndex115200 = 3;
}

SimDrive::SimDrive(const std::string& model, std::vector<std::string> extraOptions, int station)
    : station_(station)
{
    std::string code = model;
    for (char& c : code)
        if (c == '_')
            c = '-';
    options_ = {"--station", std::to_string(station), "--baud", "115200", "--pace", "--latency", "3"};
    bool ownModel = false;
    for (const std::string& option : extraOptions)
        ownModel = ownModel || option == "--model";
    if (!ownModel)
        options_.insert(options_.end(), {"--model", code});
    options_.insert(options_.end(), extraOptions.begin(), extraOptions.end());
    CurrentDriveType() = ModelDrive(model);
    connected_ = start();
}

SimDrive::~SimDrive()
{
    ResetLinkState();
    CurrentDriveType() = DriveType();
}

bool SimDrive::start()
{
    ResetLinkState();
    process_ = std::make_unique<DriveSimProcess>(options_);
    if (!process_->ok())
        return false;
    MapOnlyPort(1, process_->portPath());
    const platform::PortHandle port = OpenLinkPort(1, kBaudIndex115200);
    if (!platform::isOpenHandle(port))
        return false;
    CompleteConnection(port, static_cast<uint8_t>(station_));
    return true;
}

bool SimDrive::restart()
{
    ResetLinkState();
    process_.reset();
    connected_ = start();
    return connected_;
}

}  // namespace paramtest
