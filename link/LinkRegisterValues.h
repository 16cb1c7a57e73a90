#pragma once
// Register values through the link at the process-wide station: a read's
// reply decoded into 16-bit values, and a write of one register.

#include <cstdint>

// Reads `count` (1 to 125) holding registers from `start` with
// LinkReadRegisters; on success `values` holds them in order. 1 or 0.
int LinkReadRegisterValues(uint16_t start, uint8_t count, uint16_t* values, uint16_t waitMs = 200,
                           int retries = 1);
// Writes one register with LinkWriteRegister. 1 or 0.
int LinkWriteRegisterValue(uint16_t reg, uint16_t value, uint16_t waitMs);
