#pragma once
// Drives a DriveSimulator in-process with a hand-stepped clock: send a
// request, collect what the drive sends back.

#include "sim/DriveSimulator.h"
#include "sim/DriveStorage.h"
#include "sim/SimOptions.h"
#include "tests/support/HexBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace simtest {

using namespace drivesim::reg;
using testsupport::Bytes;
using testsupport::hex;
using testsupport::toHex;
using testsupport::withCrc;
using testsupport::operator+;

// An in-process drive with its own fake microsecond clock.
class DriveHarness {
public:
    explicit DriveHarness(drivesim::DriveRegisters::Config drive = {}, drivesim::DriveSimulator::LineSettings line = {},
                          const drivesim::EepromFile* eeprom = nullptr, const drivesim::EepromFile::Image* saved = nullptr)
        : sim(drive, line, eeprom, saved)
    {
        sim.advance(nowUs);
    }
    // A drive started with these command-line options (program name left out).
    static DriveHarness withOptions(std::vector<const char*> args)
    {
        args.insert(args.begin(), "drivesim");
        drivesim::SimOptions o;
        std::string error;
        EXPECT_EQ(drivesim::SimOptions::parse(int(args.size()), args.data(), o, error), drivesim::SimOptions::Outcome::Run)
            << error;
        return DriveHarness(o.drive, o.line);
    }

    // Sends raw bytes; returns everything the drive sends within 1 ms.
    Bytes send(const Bytes& bytes)
    {
        sim.receive(bytes.data(), bytes.size(), nowUs);
        return runFor(1000);
    }
    // Sends a request given in hex, its CRC appended.
    Bytes request(const std::string& hexWithoutCrc) { return send(withCrc(hex(hexWithoutCrc))); }
    // Lets time pass; returns what the drive sent meanwhile.
    Bytes runFor(uint64_t us)
    {
        Bytes out;
        for (const uint64_t end = nowUs + us; nowUs < end;) {
            nowUs += std::min<uint64_t>(1000, end - nowUs);
            sim.advance(nowUs);
            sim.release(nowUs, out);
        }
        return out;
    }
    // A write whose whole line output (echo and stream) the caller keeps.
    Bytes sendWrite(uint16_t address, uint16_t value) { return send(frame(0x06, address, value)); }

    // One register or coil at the drive's station. Reads give -1 when
    // refused; writes give the exception code, 0 for the echo.
    int readRegister(uint16_t address)
    {
        const Bytes r = send(frame(0x03, address, 1));
        return r.size() == 7 ? (r[3] << 8) | r[4] : -1;
    }
    int writeRegister(uint16_t address, uint16_t value) { return written(frame(0x06, address, value)); }
    int readCoil(uint16_t coil)
    {
        const Bytes r = send(frame(0x01, coil, 1));
        return r.size() == 6 ? r[3] & 1 : -1;
    }
    int writeCoil(uint16_t coil, bool on) { return written(frame(0x05, coil, on ? 0xFF00 : 0)); }
    // A signed 32-bit value in two registers, low word first; INT32_MIN when refused.
    int32_t readPair(uint16_t low)
    {
        const Bytes r = send(frame(0x03, low, 2));
        return r.size() == 9 ? int32_t(uint32_t(r[5]) << 24 | r[6] << 16 | r[3] << 8 | r[4]) : INT32_MIN;
    }
    void writePair(uint16_t low, int32_t value)
    {
        EXPECT_EQ(writeRegister(low, uint16_t(uint32_t(value) & 0xFFFF)), 0) << low;
        EXPECT_EQ(writeRegister(uint16_t(low + 1), uint16_t(uint32_t(value) >> 16)), 0) << low;
    }

    uint64_t nowUs = 1000000;
    drivesim::DriveSimulator sim;

private:
    Bytes frame(uint8_t function, uint16_t address, uint16_t value)
    {
        return withCrc({sim.registers().station(), function, uint8_t(address >> 8), uint8_t(address & 0xFF),
                        uint8_t(value >> 8), uint8_t(value & 0xFF)});
    }
    // A write's echo may be followed by stream records.
    int written(const Bytes& sent)
    {
        const Bytes reply = send(sent);
        if (reply.size() == 5 && (reply[1] & 0x80))
            return reply[2];
        return reply.size() >= sent.size() && std::equal(sent.begin(), sent.end(), reply.begin()) ? 0 : -1;
    }
};

// An extended drive in the absolute internal-position mode at 115200 (1000
// records a second) with the gear `gear`:1.
inline DriveHarness positioningDrive(int gear = 1)
{
    const std::string numerator = "0x46=" + std::to_string(gear);
    return DriveHarness::withOptions(
        {"--mode", "6", "--extended", "--baud", "115200", "--set", numerator.c_str(), "--set", "0x4B=1"});
}

// Turns the servo-on input on and lets the drive settle for settleUs.
inline void switchServoOn(DriveHarness& d, uint64_t settleUs = 10000)
{
    EXPECT_EQ(d.writeCoil(38, true), 0);
    d.runFor(settleUs);
}

// Reads each register and expects its value.
inline void expectRegisters(DriveHarness& d, std::initializer_list<std::pair<uint16_t, int>> expected)
{
    for (const auto& [address, value] : expected)
        EXPECT_EQ(d.readRegister(address), value) << "register " << address;
}

// Writes each register, expecting the echo.
inline void setAll(DriveHarness& d, std::initializer_list<std::pair<uint16_t, uint16_t>> values)
{
    for (const auto& [address, value] : values)
        EXPECT_EQ(d.writeRegister(address, value), 0) << "register " << address;
}

}  // namespace simtest
