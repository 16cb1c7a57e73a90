#pragma once
// What a Modbus slave serves: registers, coils and its identification.

#include <cstdint>
#include <vector>

namespace drivesim {

// Exception codes a slave answers with; None means the request succeeded.
enum class ModbusException : uint8_t {
    None = 0,
    IllegalFunction = 1,
    IllegalDataAddress = 2,
    IllegalDataValue = 3,
};

// The data a ModbusSlave reads and writes on behalf of a master.
class SlaveDataModel {
public:
    virtual ~SlaveDataModel() = default;
    // The station number the slave answers to (1-255).
    virtual uint8_t station() const = 0;
    virtual ModbusException readRegisters(uint16_t start, uint16_t count, uint16_t* out) = 0;
    // All or nothing: a refused write changes no register.
    virtual ModbusException writeRegisters(uint16_t start, uint16_t count, const uint16_t* values) = 0;
    virtual ModbusException readCoils(uint16_t start, uint16_t count, std::vector<bool>& out) = 0;
    virtual ModbusException writeCoils(uint16_t start, const std::vector<bool>& values) = 0;
    // The Report Slave ID answer after its byte count (the data bytes).
    virtual std::vector<uint8_t> slaveIdData() const = 0;
};

}  // namespace drivesim
