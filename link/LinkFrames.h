#pragma once
// Modbus RTU request frames of the program's link, built whole with their
// CRC (low byte first), and the reply lengths the link expects.

#include <array>
#include <cstddef>
#include <cstdint>

constexpr uint8_t kFunctionReadHoldingRegisters = 0x03;
constexpr uint8_t kFunctionWriteSingleCoil = 0x05;
constexpr uint8_t kFunctionWriteSingleRegister = 0x06;
constexpr uint8_t kFunctionReportSlaveId = 0x11;

// The largest count a read may ask for: its reply must fit in 255 bytes.
constexpr uint8_t kMaxReadRegisterCount = 125;
constexpr size_t kWriteReplyLength = 8;
constexpr size_t kSlaveIdLongReplyLength = 34;
constexpr size_t kSlaveIdShortReplyLength = 28;

// CRC-16/MODBUS as a number: the low byte goes out first. Zero bytes give 0xFFFF.
uint16_t LinkCrc16(const uint8_t* bytes, size_t length);
// True when the two bytes after `length` bytes are their CRC, low byte first.
bool LinkCrcMatches(const uint8_t* bytes, size_t length);

using RequestFrame8 = std::array<uint8_t, 8>;
using RequestFrame4 = std::array<uint8_t, 4>;

RequestFrame8 BuildWriteCoilFrame(uint8_t slave, uint8_t coilHigh, uint8_t coilLow, uint8_t valueHigh);
RequestFrame8 BuildWriteRegisterFrame(uint8_t slave, uint8_t regHigh, uint8_t regLow,
                                      uint8_t valueHigh, uint8_t valueLow);
RequestFrame8 BuildReadRegistersFrame(uint8_t slave, uint8_t startHigh, uint8_t startLow,
                                      uint8_t countHigh, uint8_t countLow);
RequestFrame4 BuildReportSlaveIdFrame(uint8_t slave);

// Reply length of a read: 2 x count low + 5 (only the low count byte counts).
// 0 for a count the link refuses (0, or more than 125 registers).
size_t ExpectedReadReplyLength(uint8_t countLow);
