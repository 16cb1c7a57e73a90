#pragma once
// The link's port operations: open a COM number at one of the four drive
// rates, send a request, and wait for an exact reply length.

#include "platform/SerialPort.h"

#include <cstddef>
#include <cstdint>

// Baud indices: 0 19200, 1 38400, 2 57600, 3 115200; any other index keeps
// the rate the port already has, whatever it is (only the frame format,
// 8N1, changes then).
constexpr int kBaudIndexCount = 4;
uint32_t BaudRateOfIndex(int baudIndex);  // 0 for an index outside 0..3

// Opens "COM port" (1 to 16) through the port table at 8N1 and the indexed
// rate. Returns the handle, or kNoPort with the reason in `why` (when given).
platform::PortHandle OpenLinkPort(int port, int baudIndex, platform::SerialError* why = nullptr);
void CloseLinkPort(platform::PortHandle handle);

// Waits until exactly `count` bytes are queued, then reads them into the
// receive buffer (cleared first). More bytes than that, or none in time,
// fail: the queue must hold the whole reply and nothing else.
int LinkReceive(platform::PortHandle handle, size_t count);

// Sends a request: every byte but the last in one write, drained, then the
// input purged and the last byte written and drained. Stale input (stream
// bytes) is dropped right up to the last byte, and the frame has at most one
// gap on the line (a drain costs a USB adapter a round trip, and a gap of
// 1.75 ms ends a Modbus RTU frame at these rates).
bool LinkSendRequest(platform::PortHandle handle, const uint8_t* frame, size_t length);

// The wait for a reply after the caller's own sleep: the time in which the
// queue is watched for the exact count, plus the wire time of that many bytes
// at the port's rate.
constexpr int kReceiveWindowUs = 20000;
// A USB serial adapter hands received bytes over in batches, by default
// every 16 ms (its latency timer), on top of the drive's answer time. While
// a reply keeps coming, its rest gets its wire time plus one batch.
constexpr int kAdapterBatchUs = 16000;
// The window never ends sooner than this after the request left (plus the
// reply's wire time): an adapter's batch and up to 24 ms of drive time. A
// caller who waits longer than that itself (the station scan) loses nothing.
constexpr int kReplyStartWindowUs = kAdapterBatchUs + 24000;
