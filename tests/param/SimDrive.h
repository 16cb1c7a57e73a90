#pragma once
// drivesim at 115200 baud with paced bytes and a few ms of latency, mapped
// to COM 1 and connected through the program's link as the current drive.

#include "tests/support/DriveSimProcess.h"

#include <memory>
#include <string>
#include <vector>

namespace paramtest {

class SimDrive {
public:
    // `model` as the tables spell it ("Vr_007") becomes the current drive
    // type; drivesim poses as that model unless the options name another.
    SimDrive(const std::string& model, std::vector<std::string> extraOptions = {}, int station = 1);
    ~SimDrive();  // lets the port go and stops drivesim

    bool connected() const { return connected_; }
    // Stops drivesim and starts it again with the same options (a power cycle).
    bool restart();

private:
    bool start();

    std::vector<std::string> options_;
    int station_;
    std::unique_ptr<DriveSimProcess> process_;
    bool connected_ = false;
};

}  // namespace paramtest
