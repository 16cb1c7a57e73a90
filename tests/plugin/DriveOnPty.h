#pragma once
// A drivesim child at 115200 baud (paced, with a little latency) and an
// open port to it, as the host would hand it to the plug-in.

#include "tests/support/DriveSimProcess.h"

#include <memory>
#include <string>
#include <vector>

class DriveOnPty {
public:
    // Extra drivesim options, e.g. {"--extended", "--mode", "7"}.
    explicit DriveOnPty(std::vector<std::string> options, int station = 1);
    ~DriveOnPty();
    DriveOnPty(const DriveOnPty&) = delete;
    DriveOnPty& operator=(const DriveOnPty&) = delete;

    bool ok() const { return port_ >= 0; }
    int port() const { return port_; }
    const std::string& path() const { return sim_->portPath(); }

private:
    std::unique_ptr<DriveSimProcess> sim_;
    int port_ = -1;
};
