#pragma once
// The link's request/reply exchanges with the drive, on the port and state of
// linkState(). Each returns 1 for success and 0 for failure (the reason in
// linkState().lastFailure); replies are left in the receive buffer. Waits are
// in milliseconds and run before the reply is awaited.

#include <cstdint>

// Function 0x05; the reply must echo the request byte for byte. One attempt.
int LinkWriteCoil(uint8_t slave, uint8_t coilHigh, uint8_t coilLow, uint8_t valueHigh);

// Function 0x06; a reply with the right CRC is taken, whatever it echoes.
// Up to 17 attempts. While the scope streams the wait is always 100 ms, so
// the reply has time to arrive among stream bytes.
int LinkWriteRegister(uint8_t slave, uint8_t regHigh, uint8_t regLow, uint8_t valueHigh,
                      uint8_t valueLow, uint16_t waitMs);
// As LinkWriteRegister, with the caller's wait always in force and the
// receive buffer kept, so a reply the stream reader copied there counts.
int LinkWriteRegisterDirect(uint8_t slave, uint8_t regHigh, uint8_t regLow, uint8_t valueHigh,
                            uint8_t valueLow, uint16_t waitMs);
// As LinkWriteRegister, but reads 8 bytes as soon as any are queued; gives up
// after 16 CRC failures or 8 tries without an answer (one shared counter).
int LinkWriteRegisterPolled(uint8_t slave, uint8_t regHigh, uint8_t regLow, uint8_t valueHigh,
                            uint8_t valueLow, uint16_t waitMs);

// Function 0x03 with a 2 ms wait; up to 4 attempts.
int LinkReadRegistersQuick(uint8_t slave, uint8_t startHigh, uint8_t startLow, uint8_t countHigh,
                           uint8_t countLow);
// Function 0x03; retries + 1 attempts. Between attempts a stream the drive
// may still send is stopped, unless the scope is scanning.
int LinkReadRegisters(uint8_t slave, uint8_t startHigh, uint8_t startLow, uint8_t countHigh,
                      uint8_t countLow, uint16_t waitMs, int retries);
// As LinkReadRegisters, but each attempt's wait ends as soon as the whole
// reply is queued, so a prompt drive is not kept waiting for the full wait.
// While the scope streams it waits in full, as LinkReadRegisters does.
int LinkReadRegistersUpTo(uint8_t slave, uint8_t startHigh, uint8_t startLow, uint8_t countHigh,
                          uint8_t countLow, uint16_t maxWaitMs, int retries);

// Function 0x11; a 34-byte or a 28-byte answer, taken when its CRC is good
// (over bytes 0-31 or 0-25), or else when it starts with the station and
// 0x11 and the next attempt repeats it byte for byte. Up to 17 attempts,
// with the scope's stream paused around them.
int LinkReportSlaveId(uint8_t slave);

// Registers the link itself uses.
constexpr uint8_t kChannelSelectRegister = 0x90;
