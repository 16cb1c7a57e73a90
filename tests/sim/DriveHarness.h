#pragma once
// Drives a DriveSimulator in-process with a hand-stepped clock: send a
// request, collect what the drive sends back.

#include "sim/DriveSimulator.h"
#include "tests/support/HexBytes.h"

#include <cstdint>
#include <vector>

namespace simtest {

using testsupport::Bytes;

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An in-process drive with its own fake microsecond clock.
class DriveHarness {
public:
    explicit DriveHarness(drivesim::DriveRegisters::Config drive = {},
                          drivesim::DriveSimulator::LineSettings line = {},
                          const drivesim::EepromFile* eeprom = nullptr,
                          const drivesim::EepromFile::Image* saved = nullptr);

    // A drive started with these command-line options (program name left out).
    static DriveHarness withOptions(std::vector<const char*> args, const drivesim::EepromFile* eeprom = nullptr,
                                    const drivesim::EepromFile::Image* saved = nullptr);

    // Sends raw bytes; returns everything the drive sends within 1 ms.
    Bytes send(const Bytes& bytes);
    // Sends a request given in hex, its CRC appended.
    Bytes request(const std::string& hexWithoutCrc) { return send(testsupport::withCrc(testsupport::hex(hexWithoutCrc))); }
    // Lets time pass; returns what the drive sent meanwhile.
    Bytes runFor(uint64_t us);
    // One register or coil at the drive's station. Reads give -1 when
    // refused; writes give the exception code, 0 for the echo.
    int readRegister(uint16_t address);
    // Several registers at once; empty when refused.
    std::vector<uint16_t> readRegisters(uint16_t start, uint16_t count);
    // A signed 32-bit value from two registers, low word first.
    int32_t readPair(uint16_t low);
    // A write whose whole line output (echo and stream) the caller keeps.
    Bytes sendWrite(uint16_t address, uint16_t value) { return send(frame(0x06, address, value)); }
    int writeRegister(uint16_t address, uint16_t value);
    int readCoil(uint16_t coil);
    int writeCoil(uint16_t coil, bool on);

    uint64_t nowUs = 1000000;
    drivesim::DriveSimulator sim;

private:
    Bytes frame(uint8_t function, uint16_t address, uint16_t value);
};

// Reads each register and expects its value.
void expectRegisters(DriveHarness& d, std::initializer_list<std::pair<uint16_t, int>> expected);
// Turns the servo-on input on and lets the drive settle for settleUs.
void switchServoOn(DriveHarness& d, uint64_t settleUs);
// Writes each register, expecting the echo.
void setAll(DriveHarness& d, std::initializer_list<std::pair<uint16_t, uint16_t>> values);

}  // namespace simtest
