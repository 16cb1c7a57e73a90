#pragma once
// Taking a found drive into use and letting it go: the link state, the
// plug-in's copies and the library Modbus master all follow one open port.

#include "platform/SerialSettings.h"

#include <cstdint>

class CModbus;

// The process-wide library master the I/O monitor and the model check use.
CModbus& LinkModbus();

// Records a connected drive: port handle, slave address, online flag 1, the
// plug-in's copies with link-up 1, and the library master on the same port.
void CompleteConnection(platform::PortHandle handle, uint8_t slaveAddress);
// Closes the open port (if any) and clears the handle, the copies and the
// link-up flag, before a new connection or off-line work.
void ReleaseLinkPort();
