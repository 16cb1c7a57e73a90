#include "plugin/DriveBus.h"

#include "comm/CModbus.h"
#include "plugin/HostLink.h"
#include "platform/SerialExchangeLock.h"

#include <vector>

namespace waypad {

bool DriveBus::readLong(uint16_t low, int32_t& value)
{
    uint16_t words[2] = {};
    if (!readRegisters(low, 2, words))
        return false;
    value = JoinWords(words[0], words[1]);
    return true;
}

bool DriveBus::writeLong(uint16_t low, int32_t value)
{
    const uint16_t words[2] = {LowWord(value), HighWord(value)};
    return writeRegisters(low, 2, words);
}

bool ModbusDriveBus::portStillShared() const
{
    return host_ == nullptr || host_->portHandle() == modbus_.m_hComm;
}

bool ModbusDriveBus::readRegisters(uint16_t start, uint16_t count, uint16_t* values)
{
    const platform::SerialExchangeLock oneAtATime;
    return portStillShared() && modbus_.ReadHoldingRegisters(start, count, values) == 1;
}

bool ModbusDriveBus::writeRegisters(uint16_t start, uint16_t count, const uint16_t* values)
{
    std::vector<unsigned short> copy(values, values + count);
    const platform::SerialExchangeLock oneAtATime;
    return portStillShared() && modbus_.WriteMultipleRegisters(start, count, copy.data()) == 1;
}

bool ModbusDriveBus::readCoils(uint16_t start, uint16_t count, uint8_t* packed)
{
    const platform::SerialExchangeLock oneAtATime;
    return portStillShared() && modbus_.ReadCoils(start, count, packed) == 1;
}

bool ModbusDriveBus::writeCoil(uint16_t coil, bool on)
{
    unsigned char packed = on ? 1 : 0;
    const platform::SerialExchangeLock oneAtATime;
    return portStillShared() && modbus_.WriteMultipleCoils(coil, 1, &packed) == 1;
}

void ModbusDriveBus::flushInput()
{
    const platform::SerialExchangeLock oneAtATime;
    if (portStillShared())
        modbus_.GarbageCollection("", 0);
}

DriveBus::Timing ModbusDriveBus::timing() const
{
    return {modbus_.GetWaitWriteTime(), modbus_.GetPreCountQueTimes()};
}

void ModbusDriveBus::setTiming(const Timing& timing)
{
    modbus_.SetWaitWriteTime(timing.waitMs);
    modbus_.SetPreCountQueTimes(timing.polls);
}

}  // namespace waypad

namespace waypad {

int ModbusDriveBus::port() const
{
    return modbus_.m_hComm;
}

void ModbusDriveBus::usePort(int handle, uint8_t slaveAddress)
{
    modbus_.m_hComm = handle;
    modbus_.SetSlaveAddress(slaveAddress);
}

}  // namespace waypad
