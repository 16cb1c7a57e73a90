#pragma once
// Answers one complete, CRC-checked Modbus RTU request frame the way a drive
// does: functions 01, 03, 05, 06, 0F, 10 and 11, with exception replies.

#include "sim/SlaveDataModel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace drivesim {

// Turns request frames into reply frames against a SlaveDataModel.
class ModbusSlave {
public:
    explicit ModbusSlave(SlaveDataModel& model) : model_(model) {}

    // Returns the whole reply frame (CRC included), or an empty vector when
    // the request gets no answer (another station, or a broadcast).
    std::vector<uint8_t> handle(const uint8_t* frame, size_t length);

private:
    ModbusException execute(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu);
    ModbusException readCoils(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu);
    ModbusException readRegisters(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu);
    ModbusException writeCoil(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu);
    ModbusException writeRegister(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu);
    ModbusException writeCoils(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu);
    ModbusException writeRegisters(const uint8_t* frame, size_t length, std::vector<uint8_t>& pdu);
    void reportSlaveId(std::vector<uint8_t>& pdu);

    SlaveDataModel& model_;
};

}  // namespace drivesim
