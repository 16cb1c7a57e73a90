#pragma once
// A drivesim child at 115200 baud (paced, with a little latency) and an
// open port to it, as the host would hand it to the plug-in.

#include "platform/SerialPort.h"
#include "tests/support/DriveSimProcess.h"

#include <string>
#include <vector>

class DriveOnPty {
public:
    // Extra drivesim options, e.g. {"--extended", "--mode", "7"}.
    explicit DriveOnPty(std::vector<std::string> options, int station = 1)
        : sim_(withLine(std::move(options), station))
    {
        const platform::SerialOpenResult opened = platform::serialOpen(sim_.portPath());
        platform::SerialSettings line;
        line.BaudRate = 115200;
        if (sim_.ok() && platform::isOpenHandle(opened.handle) && platform::serialSetSettings(opened.handle, line))
            port_ = opened.handle;
        else if (platform::isOpenHandle(opened.handle))
            platform::serialClose(opened.handle);
    }
    ~DriveOnPty()
    {
        if (port_ >= 0)
            platform::serialClose(port_);
    }
    DriveOnPty(const DriveOnPty&) = delete;
    DriveOnPty& operator=(const DriveOnPty&) = delete;

    bool ok() const { return port_ >= 0; }
    int port() const { return port_; }

private:
    static std::vector<std::string> withLine(std::vector<std::string> options, int station)
    {
        options.insert(options.begin(), {"--baud", "115200", "--pace", "--latency", "2", "--station",
                                         std::to_string(station)});
        return options;
    }
    DriveSimProcess sim_;
    int port_ = -1;
};
