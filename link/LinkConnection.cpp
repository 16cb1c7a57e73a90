#include "link/LinkConnection.h"

#include "comm/CModbus.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"

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
    CloseLinkPort(link.portHandle);
    link.portHandle = platform::kNoPort;
    link.pluginPortHandle = platform::kNoPort;
    link.pluginLinkUp = 0;
    // The library master must not keep a descriptor number that the system
    // may hand to the next file opened.
    LinkModbus().m_hComm = platform::kNoPort;
}
