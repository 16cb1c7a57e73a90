#include "DriveHarness.h"

#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace simtest {
namespace {

// A write's echo may be followed by stream records.
int writeOutcome(const Bytes& sent, const Bytes& reply)
{
    if (reply.size() == 5 && (reply[1] & 0x80))
        return reply[2];
    return reply.size() >= sent.size() && std::equal(sent.begin(), sent.end(), reply.begin()) ? 0 : -1;
}

}  // namespace

DriveHarness::DriveHarness(drivesim::DriveRegisters::Config drive, drivesim::DriveSimulator::LineSettings line,
                           const drivesim::EepromFile* eeprom, const drivesim::EepromFile::Image* saved)
    : sim(drive, line, eeprom, saved)
{
    sim.advance(nowUs);
}

DriveHarness DriveHarness::withOptions(std::vector<const char*> args, const drivesim::EepromFile* eeprom,
                                       const drivesim::EepromFile::Image* saved)
{
    args.insert(args.begin(), "drivesim");
    drivesim::SimOptions o;
    std::string error;
    EXPECT_EQ(drivesim::SimOptions::parse(static_cast<int>(args.size()), args.data(), o, error),
              drivesim::SimOptions::Outcome::Run)
        << error;
    return DriveHarness(o.drive, o.line, eeprom, saved);
}

Bytes DriveHarness::send(const Bytes& bytes)
{
    sim.receive(bytes.data(), bytes.size(), nowUs);
    return runFor(1000);
}

Bytes DriveHarness::runFor(uint64_t us)
{
    Bytes out;
    for (const uint64_t end = nowUs + us; nowUs < end;) {
        nowUs += std::min<uint64_t>(1000, end - nowUs);
        sim.advance(nowUs);
        sim.release(nowUs, out);
    }
    return out;
}

Bytes DriveHarness::frame(uint8_t function, uint16_t address, uint16_t value)
{
    return testsupport::withCrc({sim.registers().station(), function, uint8_t(address >> 8), uint8_t(address & 0xFF),
                                 uint8_t(value >> 8), uint8_t(value & 0xFF)});
}

int DriveHarness::readRegister(uint16_t address)
{
    const Bytes reply = send(frame(0x03, address, 1));
    return reply.size() == 7 ? (reply[3] << 8) | reply[4] : -1;
}

std::vector<uint16_t> DriveHarness::readRegisters(uint16_t start, uint16_t count)
{
    const Bytes reply = send(frame(0x03, start, count));
    std::vector<uint16_t> values;
    if (reply.size() != 5u + 2 * count)
        return values;
    for (size_t i = 0; i < count; ++i)
        values.push_back(static_cast<uint16_t>((reply[3 + 2 * i] << 8) | reply[4 + 2 * i]));
    return values;
}

int32_t DriveHarness::readPair(uint16_t low)
{
    const std::vector<uint16_t> v = readRegisters(low, 2);
    return v.size() == 2 ? static_cast<int32_t>((uint32_t(v[1]) << 16) | v[0]) : INT32_MIN;
}

int DriveHarness::writeRegister(uint16_t address, uint16_t value)
{
    const Bytes sent = frame(0x06, address, value);
    return writeOutcome(sent, send(sent));
}

int DriveHarness::readCoil(uint16_t coil)
{
    const Bytes reply = send(frame(0x01, coil, 1));
    return reply.size() == 6 ? reply[3] & 1 : -1;
}

int DriveHarness::writeCoil(uint16_t coil, bool on)
{
    const Bytes sent = frame(0x05, coil, on ? 0xFF00 : 0);
    return writeOutcome(sent, send(sent));
}

void switchServoOn(DriveHarness& d, uint64_t settleUs)
{
    EXPECT_EQ(d.writeCoil(38, true), 0);
    d.runFor(settleUs);
}

void expectRegisters(DriveHarness& d, std::initializer_list<std::pair<uint16_t, int>> expected)
{
    for (const auto& [address, value] : expected)
        EXPECT_EQ(d.readRegister(address), value) << "register " << address;
}

void setAll(DriveHarness& d, std::initializer_list<std::pair<uint16_t, uint16_t>> values)
{
    for (const auto& [address, value] : values)
        EXPECT_EQ(d.writeRegister(address, value), 0) << "register " << address;
}

}  // namespace simtest
