#pragma once
// Line settings of a serial port: the four values the protocols ever change.
// Flow control and everything else stay as the port had them.

#include <cstdint>

namespace platform {

enum SerialParity : uint8_t { ParityNone = 0, ParityOdd = 1, ParityEven = 2 };
enum SerialStopBits : uint8_t { OneStopBit = 0, TwoStopBits = 2 };

// A BaudRate of 0 keeps the speed the port has: reading a port at a rate
// outside the supported ones gives 0, and setting 0 leaves that rate alone.
constexpr uint32_t kKeepBaudRate = 0;

struct SerialSettings {
    uint32_t BaudRate = 19200;
    uint8_t ByteSize = 8;
    uint8_t Parity = ParityNone;
    uint8_t StopBits = OneStopBit;
};

// An open port is a file descriptor. "No port" and "a failed open" are kept
// apart as the protocols need; both count as closed.
using PortHandle = int;
constexpr PortHandle kNoPort = -1;
constexpr PortHandle kInvalidPort = -2;
inline bool isOpenHandle(PortHandle h) { return h >= 0; }

}  // namespace platform
