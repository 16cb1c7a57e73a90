#pragma once
// Drives a DriveSimulator in-process with a hand-stepped clock: send a
// request, collect what the drive sends back.

#include "sim/DriveSimulator.h"
#include "tests/support/HexBytes.h"

#include <cstdint>

namespace simtest {

using testsupport::Bytes;

// An in-process drive with its own fake microsecond clock.
class DriveHarness {
public:
    explicit DriveHarness(drivesim::DriveRegisters::Config drive = {},
                          drivesim::DriveSimulator::LineSettings line = {},
                          const drivesim::EepromFile* eeprom = nullptr,
                          const drivesim::EepromFile::Image* saved = nullptr)
        : sim(drive, line, eeprom, saved)
    {
        sim.advance(nowUs);
    }

    // Sends raw bytes and returns everything the drive sends within 1 ms.
    Bytes send(const Bytes& bytes)
    {
        sim.receive(bytes.data(), bytes.size(), nowUs);
        return runFor(1000);
    }
    // Sends a request with its CRC appended.
    Bytes request(const std::string& hexWithoutCrc) { return send(testsupport::withCrc(testsupport::hex(hexWithoutCrc))); }
    // Lets time pass, returning what the drive sent meanwhile.
    Bytes runFor(uint64_t us)
    {
        Bytes out;
        const uint64_t end = nowUs + us;
        while (nowUs < end) {
            nowUs += std::min<uint64_t>(1000, end - nowUs);
            sim.advance(nowUs);
            sim.release(nowUs, out);
        }
        return out;
    }
    // Reads one register through Modbus; -1 when the drive refused.
    int readRegister(uint16_t address);
    // Writes one register; returns the exception code (0 for success).
    int writeRegister(uint16_t address, uint16_t value);
    int writeCoil(uint16_t coil, bool on);
    int readCoil(uint16_t coil);

    uint64_t nowUs = 1000000;
    drivesim::DriveSimulator sim;
};

}  // namespace simtest
