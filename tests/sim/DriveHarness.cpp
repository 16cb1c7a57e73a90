#include "DriveHarness.h"

#include <algorithm>
#include <cstdio>

namespace simtest {
namespace {

std::string hex16(uint16_t v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X %02X", v >> 8, v & 0xFF);
    return text;
}

}  // namespace

int DriveHarness::readRegister(uint16_t address)
{
    const uint8_t station = sim.registers().station();
    char head[8];
    std::snprintf(head, sizeof head, "%02X 03 ", station);
    const Bytes reply = request(head + hex16(address) + " 00 01");
    if (reply.size() != 7)
        return -1;
    return (reply[3] << 8) | reply[4];
}

int DriveHarness::writeRegister(uint16_t address, uint16_t value)
{
    char head[8];
    std::snprintf(head, sizeof head, "%02X 06 ", sim.registers().station());
    const Bytes sent = testsupport::withCrc(testsupport::hex(head + hex16(address) + " " + hex16(value)));
    const Bytes reply = send(sent);
    if (reply.size() == 5 && (reply[1] & 0x80))
        return reply[2];
    // The echo comes first; stream records may follow it.
    return reply.size() >= 8 && std::equal(sent.begin(), sent.end(), reply.begin()) ? 0 : -1;
}

int DriveHarness::writeCoil(uint16_t coil, bool on)
{
    char head[8];
    std::snprintf(head, sizeof head, "%02X 05 ", sim.registers().station());
    const Bytes reply = request(head + hex16(coil) + (on ? " FF 00" : " 00 00"));
    if (reply.size() == 5 && (reply[1] & 0x80))
        return reply[2];
    return reply.size() == 8 ? 0 : -1;
}

int DriveHarness::readCoil(uint16_t coil)
{
    char head[8];
    std::snprintf(head, sizeof head, "%02X 01 ", sim.registers().station());
    const Bytes reply = request(head + hex16(coil) + " 00 01");
    if (reply.size() != 6)
        return -1;
    return reply[3] & 1;
}

}  // namespace simtest
