#include "sim/ModbusSlave.h"

#include "comm/ModbusCrc.h"

namespace drivesim {
namespace {

constexpr uint8_t kBroadcast = 0;
// Largest counts that fit one RTU frame of 256 bytes.
constexpr uint16_t kMaxReadRegisters = 125;
constexpr uint16_t kMaxWriteRegisters = 123;
constexpr uint16_t kMaxReadCoils = 2000;
constexpr uint16_t kMaxWriteCoils = 1968;

uint16_t word(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

void putWord(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

bool rangeFits(uint16_t start, uint16_t count) { return uint32_t(start) + count <= 0x10000u; }

// The checks every read shares: frame length, count within the function's
// limit, and the range inside the address space.
ModbusException checkRead(const uint8_t* frame, size_t length, uint16_t maxCount, uint16_t& start,
                          uint16_t& count)
{
    if (length != 8)
        return ModbusException::IllegalDataValue;
    start = word(frame + 2);
    count = word(frame + 4);
    if (count == 0 || count > maxCount)
        return ModbusException::IllegalDataValue;
    if (!rangeFits(start, count))
        return ModbusException::IllegalDataAddress;
    return ModbusException::None;
}

}  // namespace

std::vector<uint8_t> ModbusSlave::handle(const uint8_t* frame, size_t length)
{
    if (length < 4)
        return {};
    const uint8_t address = frame[0];
    const bool broadcast = address == kBroadcast;
    if (!broadcast && address != model_.station())
        return {};

    std::vector<uint8_t> pdu;
    const uint8_t function = frame[1];
    // A broadcast may only write; reads and identification make no sense to all.
    const bool isWrite = function == 0x05 || function == 0x06 || function == 0x0F || function == 0x10;
    if (broadcast && !isWrite)
        return {};

    const ModbusException error = execute(frame, length, pdu);
    if (broadcast)
        return {};

    std::vector<uint8_t> reply;
    reply.reserve(pdu.size() + 4);
    reply.push_back(address);
    if (error != ModbusException::None) {
        reply.push_back(static_cast<uint8_t>(function | 0x80));
        reply.push_back(static_cast<uint8_t>(error));
    } else {
        reply.push_back(function);
        reply.insert(reply.end(), pdu.begin(), pdu.end());
    }
    reply.resize(reply.size() + 2);
    qdcomm::appendModbusCrc(reply.data(), reply.size());
    return reply;
}

ModbusException ModbusSlave::execute(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu)
{
    switch (frame[1]) {
    case 0x01: return readCoils(frame, length, pdu);
    case 0x03: return readRegisters(frame, length, pdu);
    case 0x05: return writeCoil(frame, length, pdu);
    case 0x06: return writeRegister(frame, length, pdu);
    case 0x0F: return writeCoils(frame, length, pdu);
    case 0x10: return writeRegisters(frame, length, pdu);
    case 0x11:
        if (length != 4)
            return ModbusException::IllegalDataValue;
        reportSlaveId(pdu);
        return ModbusException::None;
    default: return ModbusException::IllegalFunction;
    }
}

ModbusException ModbusSlave::readCoils(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu)
{
    uint16_t start = 0, count = 0;
    ModbusException error = checkRead(frame, length, kMaxReadCoils, start, count);
    if (error != ModbusException::None)
        return error;
    std::vector<bool> bits;
    error = model_.readCoils(start, count, bits);
    if (error != ModbusException::None)
        return error;
    const size_t bytes = (count + 7) / 8;
    pdu.push_back(static_cast<uint8_t>(bytes));
    pdu.resize(1 + bytes, 0);
    for (size_t i = 0; i < count; ++i)
        if (bits[i])
            pdu[1 + i / 8] |= static_cast<uint8_t>(1u << (i % 8));
    return ModbusException::None;
}

ModbusException ModbusSlave::readRegisters(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu)
{
    uint16_t start = 0, count = 0;
    ModbusException error = checkRead(frame, length, kMaxReadRegisters, start, count);
    if (error != ModbusException::None)
        return error;
    std::vector<uint16_t> values(count);
    error = model_.readRegisters(start, count, values.data());
    if (error != ModbusException::None)
        return error;
    pdu.push_back(static_cast<uint8_t>(count * 2));
    for (uint16_t v : values)
        putWord(pdu, v);
    return ModbusException::None;
}

ModbusException ModbusSlave::writeCoil(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu)
{
    if (length != 8)
        return ModbusException::IllegalDataValue;
    const uint16_t coil = word(frame + 2), value = word(frame + 4);
    if (value != 0xFF00 && value != 0x0000)
        return ModbusException::IllegalDataValue;
    const ModbusException error = model_.writeCoils(coil, {value == 0xFF00});
    if (error != ModbusException::None)
        return error;
    pdu.assign(frame + 2, frame + 6);  // the echo
    return ModbusException::None;
}

ModbusException ModbusSlave::writeRegister(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu)
{
    if (length != 8)
        return ModbusException::IllegalDataValue;
    const uint16_t reg = word(frame + 2), value = word(frame + 4);
    const ModbusException error = model_.writeRegisters(reg, 1, &value);
    if (error != ModbusException::None)
        return error;
    pdu.assign(frame + 2, frame + 6);
    return ModbusException::None;
}

ModbusException ModbusSlave::writeCoils(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu)
{
    if (length < 10)
        return ModbusException::IllegalDataValue;
    const uint16_t start = word(frame + 2), count = word(frame + 4);
    const uint8_t byteCount = frame[6];
    if (count == 0 || count > kMaxWriteCoils || byteCount != (count + 7) / 8 || length != 9u + byteCount)
        return ModbusException::IllegalDataValue;
    if (!rangeFits(start, count))
        return ModbusException::IllegalDataAddress;
    std::vector<bool> bits(count);
    for (size_t i = 0; i < count; ++i)
        bits[i] = (frame[7 + i / 8] >> (i % 8)) & 1;
    const ModbusException error = model_.writeCoils(start, bits);
    if (error != ModbusException::None)
        return error;
    putWord(pdu, start);
    putWord(pdu, count);
    return ModbusException::None;
}

ModbusException ModbusSlave::writeRegisters(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu)
{
    if (length < 11)
        return ModbusException::IllegalDataValue;
    const uint16_t start = word(frame + 2), count = word(frame + 4);
    const uint8_t byteCount = frame[6];
    if (count == 0 || count > kMaxWriteRegisters || byteCount != count * 2 || length != 9u + byteCount)
        return ModbusException::IllegalDataValue;
    if (!rangeFits(start, count))
        return ModbusException::IllegalDataAddress;
    std::vector<uint16_t> values(count);
    for (size_t i = 0; i < count; ++i)
        values[i] = word(frame + 7 + 2 * i);
    const ModbusException error = model_.writeRegisters(start, count, values.data());
    if (error != ModbusException::None)
        return error;
    putWord(pdu, start);
    putWord(pdu, count);
    return ModbusException::None;
}

void ModbusSlave::reportSlaveId(std::vector<uint8_t>& pdu)
{
    const std::vector<uint8_t> data = model_.slaveIdData();
    pdu.push_back(static_cast<uint8_t>(data.size()));
    pdu.insert(pdu.end(), data.begin(), data.end());
}

}  // namespace drivesim
