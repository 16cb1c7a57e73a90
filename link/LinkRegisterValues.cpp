#include "link/LinkRegisterValues.h"

#include "link/LinkRequests.h"
#include "link/LinkState.h"

namespace {
uint8_t high(uint16_t v) { return static_cast<uint8_t>(v >> 8); }
uint8_t low(uint16_t v) { return static_cast<uint8_t>(v & 0xFF); }
}  // namespace

int LinkReadRegisterValues(uint16_t start, uint8_t count, uint16_t* values, uint16_t waitMs, int retries)
{
    LinkState& link = linkState();
    if (values == nullptr || LinkReadRegisters(link.slaveAddress, high(start), low(start), 0x00, count,
                                               waitMs, retries) != 1)
        return 0;
    const uint8_t* data = link.lastReadReply + 3;
    for (uint8_t i = 0; i < count; ++i)
        values[i] = static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
    return 1;
}

int LinkWriteRegisterValue(uint16_t reg, uint16_t value, uint16_t waitMs)
{
    return LinkWriteRegister(linkState().slaveAddress, high(reg), low(reg), high(value), low(value), waitMs);
}
