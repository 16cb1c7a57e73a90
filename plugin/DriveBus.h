#pragma once
// The exchanges the plug-in makes with the drive, as the worker needs them:
// holding registers and coils, a flush of stale input, and the master's
// reply timing, and the port. ModbusDriveBus puts them on the plug-in's
// CModbus.

#include <cstdint>

class CModbus;

namespace waypad {

class DriveBus {
public:
    struct Timing {
        unsigned long waitMs;  // sleep before each count of the receive queue
        unsigned long polls;   // counts of the receive queue
    };

    virtual ~DriveBus() = default;
    virtual bool readRegisters(uint16_t start, uint16_t count, uint16_t* values) = 0;
    virtual bool writeRegisters(uint16_t start, uint16_t count, const uint16_t* values) = 0;
    virtual bool readCoils(uint16_t start, uint16_t count, uint8_t* packed) = 0;
    // One coil, as a Write Multiple Coils of quantity 1.
    virtual bool writeCoil(uint16_t coil, bool on) = 0;
    // Throws away what waits in the receive queue.
    virtual void flushInput() = 0;
    virtual Timing timing() const = 0;
    virtual void setTiming(const Timing& timing) = 0;
    // The port the exchanges go to, and moving to another one.
    virtual int port() const = 0;
    virtual void usePort(int handle, uint8_t slaveAddress) = 0;

    bool writeRegister(uint16_t address, uint16_t value) { return writeRegisters(address, 1, &value); }
    bool readLong(uint16_t low, int32_t& value);
    bool writeLong(uint16_t low, int32_t value);
};

// Other reply timing for a burst; the master's own is back afterwards.
class BusTimingScope {
public:
    BusTimingScope(DriveBus& bus, DriveBus::Timing timing) : bus_(bus), saved_(bus.timing()) { bus.setTiming(timing); }
    ~BusTimingScope() { bus_.setTiming(saved_); }
    BusTimingScope(const BusTimingScope&) = delete;
    BusTimingScope& operator=(const BusTimingScope&) = delete;

private:
    DriveBus& bus_;
    DriveBus::Timing saved_;
};

class HostLink;

// Each exchange runs under the line's exchange lock and only while the host
// still holds the port the master uses: a port the host closed (and the
// system may hand to the next file opened) is never written to.
class ModbusDriveBus : public DriveBus {
public:
    explicit ModbusDriveBus(CModbus& modbus, const HostLink* host = nullptr) : modbus_(modbus), host_(host) {}
    void followHost(const HostLink* host) { host_ = host; }
    bool readRegisters(uint16_t start, uint16_t count, uint16_t* values) override;
    bool writeRegisters(uint16_t start, uint16_t count, const uint16_t* values) override;
    bool readCoils(uint16_t start, uint16_t count, uint8_t* packed) override;
    bool writeCoil(uint16_t coil, bool on) override;
    void flushInput() override;
    Timing timing() const override;
    void setTiming(const Timing& timing) override;
    int port() const override;
    void usePort(int handle, uint8_t slaveAddress) override;

private:
    bool portStillShared() const;

    CModbus& modbus_;
    const HostLink* host_;
};

// 32-bit values travel as two registers, low word first.
inline int32_t JoinWords(uint16_t low, uint16_t high)
{
    return static_cast<int32_t>((uint32_t(high) << 16) | low);
}
inline uint16_t LowWord(int32_t v) { return static_cast<uint16_t>(uint32_t(v) & 0xFFFF); }
inline uint16_t HighWord(int32_t v) { return static_cast<uint16_t>(uint32_t(v) >> 16); }

}  // namespace waypad
