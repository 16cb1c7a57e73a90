#include "link/LinkFrames.h"

#include "comm/ModbusCrc.h"

uint16_t LinkCrc16(const uint8_t* bytes, size_t length)
{
    return qdcomm::modbusCrc(bytes, length);
}

bool LinkCrcMatches(const uint8_t* bytes, size_t length)
{
    const uint16_t crc = LinkCrc16(bytes, length);
    return bytes[length] == (crc & 0xFF) && bytes[length + 1] == (crc >> 8);
}

namespace {
RequestFrame8 withCrc(RequestFrame8 frame)
{
    const uint16_t crc = LinkCrc16(frame.data(), 6);
    frame[6] = static_cast<uint8_t>(crc & 0xFF);
    frame[7] = static_cast<uint8_t>(crc >> 8);
    return frame;
}
}  // namespace

RequestFrame8 BuildWriteCoilFrame(uint8_t slave, uint8_t coilHigh, uint8_t coilLow, uint8_t valueHigh)
{
    return withCrc({slave, kFunctionWriteSingleCoil, coilHigh, coilLow, valueHigh, 0x00, 0, 0});
}

RequestFrame8 BuildWriteRegisterFrame(uint8_t slave, uint8_t regHigh, uint8_t regLow,
                                      uint8_t valueHigh, uint8_t valueLow)
{
    return withCrc({slave, kFunctionWriteSingleRegister, regHigh, regLow, valueHigh, valueLow, 0, 0});
}

RequestFrame8 BuildReadRegistersFrame(uint8_t slave, uint8_t startHigh, uint8_t startLow,
                                      uint8_t countHigh, uint8_t countLow)
{
    return withCrc({slave, kFunctionReadHoldingRegisters, startHigh, startLow, countHigh, countLow, 0, 0});
}

RequestFrame4 BuildReportSlaveIdFrame(uint8_t slave)
{
    RequestFrame4 frame{slave, kFunctionReportSlaveId, 0, 0};
    const uint16_t crc = LinkCrc16(frame.data(), 2);
    frame[2] = static_cast<uint8_t>(crc & 0xFF);
    frame[3] = static_cast<uint8_t>(crc >> 8);
    return frame;
}

size_t ExpectedReadReplyLength(uint8_t countLow)
{
    // A count of 0 would expect a 5-byte reply, which an exception reply with
    // a good CRC would satisfy; above 125 the 8-bit length wraps.
    if (countLow == 0 || countLow > kMaxReadRegisterCount)
        return 0;
    return 2u * countLow + 5u;
}
