#include "link/LinkConnection.h"

#include "comm/CModbus.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "platform/SerialExchangeLock.h"

CModbus& LinkModbus()
{
    static CModbus instance;
    return instance;
}

void CompleteConnection(platform::PortHandle handle, uint8_t slaveAddress)
{
    LinkState& link = linkState();
    link.portHandle = handle;
    link.slaveAddress = slaveAddress;
    link.online = 1;
    link.pluginPortHandle = handle;
    link.pluginSlaveAddress = slaveAddress;
    link.pluginLinkUp = 1;
    CModbus& modbus = LinkModbus();
    modbus.m_hComm = handle;
    modbus.SetSlaveAddress(slaveAddress);
}

void ReleaseLinkPort()
{
    LinkState& link = linkState();
    // The plug-in's worker reads its copies from another thread: take the
    // port away from it before the descriptor is closed, and wait for an
    // exchange it may have in flight. Neither master may keep a descriptor
    // number that the system may hand to the next file.
    const platform::SerialExchangeLock noExchangeInFlight;
    const platform::PortHandle port = link.portHandle;
    link.pluginLinkUp = 0;
    link.pluginPortHandle = platform::kNoPort;
    LinkModbus().m_hComm = platform::kNoPort;
    link.portHandle = platform::kNoPort;
    CloseLinkPort(port);
}
