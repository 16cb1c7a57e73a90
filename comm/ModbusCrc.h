#pragma once
// CRC-16/MODBUS (reflected 0xA001, start 0xFFFF), table form. Shared by both
// Modbus masters, the plot-stream decoder and the simulated drive.

#include <cstddef>
#include <cstdint>

#include "QDCommExport.h"

namespace qdcomm {

// The CRC as the two wire bytes: the byte sent first in the high half.
// 01 03 00 00 00 01 gives 0x840A (sent as 84 0A).
QDCOMM_API uint16_t modbusCrcWire(const uint8_t* data, size_t length);
// The CRC as a number (low byte is sent first). Zero bytes give 0xFFFF.
QDCOMM_API uint16_t modbusCrc(const uint8_t* data, size_t length);
// Writes the CRC into the last two bytes of a frame of totalLength bytes.
QDCOMM_API void appendModbusCrc(uint8_t* frame, size_t totalLength);
// True when the last two bytes of the frame are the CRC of the rest.
QDCOMM_API bool checkModbusCrc(const uint8_t* frame, size_t totalLength);

}  // namespace qdcomm
