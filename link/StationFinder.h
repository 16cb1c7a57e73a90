#pragma once
// Finding the drive's station number on the open port: the drive holds its
// own station in register 0x0000.

#include <cstdint>
#include <functional>

struct StationScan {
    // Highest address an automatic scan tries (1 to 255).
    int lastAddress = 255;
    // Asked before each address of a scan with that address; false stops it.
    std::function<bool(int address)> keepGoing;
};

// Station row 1 to 255: asks that address (two calls, 100 ms, 1 retry each).
// Row 0: scans addresses 1 upward (50 ms, no retry) until one answers.
// On an answer the slave address becomes the low byte of register 0x0000;
// returns 1 when that is 1 to 255, and 0 when it is 0 or nobody answered.
int FindStation(int stationRow, const StationScan& scan = StationScan());
