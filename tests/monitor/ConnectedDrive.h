#pragma once
// drivesim connected the way the program connects a drive: COM 1 mapped to
// its pseudo-terminal, opened at 115200 baud, the link state and the library
// master bound to it. Shared by the tuning, monitoring and wizard suites.

#include "tests/support/DriveSimProcess.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ConnectedDrive {
public:
    // Starts drivesim (paced, 2 ms latency, station 1, 115200 baud) with the
    // extra options and connects to it; check ok().
    explicit ConnectedDrive(const std::vector<std::string>& extraOptions = {});
    ~ConnectedDrive();  // releases the port and resets the link state

    bool ok() const { return ok_; }
    // The drive stops answering (requests go to a station it is not) and
    // answers again.
    void silence();
    void answerAgain();

    // Raw register and coil access for checks, through the link, with short
    // waits (the program's own reads wait in full).
    bool readRegisters(uint16_t start, uint8_t count, uint16_t* values);
    bool writeRegister(uint16_t reg, uint16_t value);
    // Writes up to 16 coils from `start`, the first in bit 0 of `bits`.
    bool setCoils(uint16_t start, uint16_t count, uint16_t bits);
    // Starts the drive's scope stream with `mask` as the scope would, and
    // stops it.
    void startStream(uint8_t mask);
    void stopStream();
    // Bytes waiting on the port after a short while: the stream's sign of life.
    uint32_t queuedAfterMs(int ms);

    static constexpr uint8_t kStation = 1;

private:
    std::unique_ptr<DriveSimProcess> sim_;
    bool ok_ = false;
};
