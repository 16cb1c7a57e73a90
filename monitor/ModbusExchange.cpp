#include "monitor/ModbusExchange.h"

#include "comm/CModbus.h"
#include "link/ScopeStreamControl.h"
#include "platform/SerialPort.h"

int RunModbusExchange(CModbus& modbus, const std::function<int(CModbus&)>& exchange)
{
    if (!platform::isOpenHandle(modbus.m_hComm))
        return 0;
    StreamPause pause;
    platform::serialPurge(modbus.m_hComm, platform::PurgeRx);
    return exchange(modbus);
}
