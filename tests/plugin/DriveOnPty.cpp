#include "DriveOnPty.h"

#include "platform/SerialPort.h"

DriveOnPty::DriveOnPty(std::vector<std::string> options, int station)
{
    std::vector<std::string> args{"--baud", "115200", "--pace", "--latency", "2", "--station",
                                  std::to_string(station)};
    args.insert(args.end(), options.begin(), options.end());
    sim_ = std::make_unique<DriveSimProcess>(args);
    if (!sim_->ok())
        return;
    const platform::SerialOpenResult opened = platform::serialOpen(sim_->portPath());
    platform::SerialSettings line;
    line.BaudRate = 115200;
    if (platform::isOpenHandle(opened.handle) && platform::serialSetSettings(opened.handle, line))
        port_ = opened.handle;
}

DriveOnPty::~DriveOnPty()
{
    if (port_ >= 0)
        platform::serialClose(port_);
    sim_.reset();
}
