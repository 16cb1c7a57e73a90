#pragma once
// The serial-port operations the protocols need, on termios: exclusive open,
// the four line settings, purge, queued-input count, read, write with drain,
// close. A port is a PortHandle (file descriptor); every call is a plain
// function so the link layer and the libraries share one open port.

#include "SerialSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class SerialError { None, NotFound, PermissionDenied, Busy, NotATerminal, Io, Other };

struct SerialOpenResult {
    PortHandle handle = kInvalidPort;
    SerialError error = SerialError::None;
    int errnoValue = 0;
};

// Opens a device read/write, not as controlling terminal, exclusive
// (TIOCEXCL), raw mode, and asks the driver for low latency (a USB adapter
// then passes bytes on within 1 ms instead of its 16 ms batches; a driver
// that refuses is fine). Does not change the line settings.
SerialOpenResult serialOpen(const std::string& devicePath);
// Clears exclusivity and closes; returns true on success.
bool serialClose(PortHandle handle);

// BaudRate is kKeepBaudRate (0) for a speed outside the supported rates.
bool serialGetSettings(PortHandle handle, SerialSettings& out);
// Changes only baud, data bits, parity and stop bits. Supported rates:
// 9600, 19200, 38400, 57600, 115200; kKeepBaudRate leaves the speed as it
// is; another rate fails.
bool serialSetSettings(PortHandle handle, const SerialSettings& settings);

// Microseconds that `bytes` take on the line at the port's rate and frame
// format (start bit, data bits, parity, stop bits); 0 when the rate is unknown.
long serialWireTimeUs(PortHandle handle, size_t bytes);

enum PurgeFlags { PurgeRx = 1, PurgeTx = 2 };
bool serialPurge(PortHandle handle, int flags);

// Bytes waiting in the receive queue; false when the query fails (EIO after
// an adapter is pulled, a closed handle).
bool serialQueuedInput(PortHandle handle, uint32_t& count);
// Waits up to `timeoutUs` microseconds for input to become readable; true
// when input is there. Used to give sleepless polls a share of time.
bool serialWaitReadable(PortHandle handle, int timeoutUs);

// Reads exactly `length` bytes (loops over short reads). Callers read only
// what is queued; a read that would block longer than `timeoutMs` fails.
bool serialRead(PortHandle handle, uint8_t* buffer, size_t length, int timeoutMs = 1000);
// Hands all bytes to the driver and returns; they may still be on their way
// to the line. Fails when the driver takes nothing for 2 s.
bool serialSend(PortHandle handle, const uint8_t* buffer, size_t length);
// Waits until everything sent has left the port. Bounded: a line held by
// flow control or a vanished adapter fails after 2 s instead of blocking.
// On a USB adapter each drain costs at least one USB round trip.
bool serialDrain(PortHandle handle);
// serialSend, then serialDrain.
bool serialWrite(PortHandle handle, const uint8_t* buffer, size_t length);

// Calls made so far in this process, whatever their length: how a protocol
// uses the port, for tests and benchmarks. serialWrite counts as one of each.
struct SerialCallCounts {
    uint64_t sends = 0;
    uint64_t drains = 0;
};
SerialCallCounts serialCallCounts();

std::string serialErrorText(SerialError error);

}  // namespace platform
