#pragma once
// A drive behind the DriveBus seam, in memory: registers and coils, a log
// of every exchange ("R180+2", "W2002=1025", "C42=1", "RC0+6", "F" for a
// flush, "P5/7" for a port change), failures on demand, and a position
// that jumps to the selected point on a rising start coil.

#include "plugin/DriveBus.h"

#include <array>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class FakeDriveBus : public waypad::DriveBus {
public:
    std::map<uint16_t, uint16_t> registers;
    std::set<uint16_t> missing;          // registers the drive does not have
    std::map<uint16_t, uint16_t> readOverrides;  // what a read gives, whatever was written
    std::array<bool, 64> coils{};
    std::vector<std::string> log;
    std::vector<Timing> timings;         // the timing of each exchange
    int failFrom = 0;                    // exchanges from this number on fail (1-based; 0 never)
    std::function<bool(const std::string&)> failWhen;  // an exchange whose log entry matches fails
    std::function<void(const std::string&)> onExchange;
    Timing current{0, 60000};
    int portHandle = 5;
    uint8_t slave = 1;

    FakeDriveBus() { coils[waypadInPositionCoil] = true; }

    void setLong(uint16_t low, int32_t value);
    int32_t getLong(uint16_t low) const;
    // Log entries that start with `prefix`.
    std::vector<std::string> entries(const std::string& prefix) const;
    // The point numbers selected on the four selection coils, one per
    // completed group of four coil writes.
    std::vector<int> selectedPoints() const;

    bool readRegisters(uint16_t start, uint16_t count, uint16_t* values) override;
    bool writeRegisters(uint16_t start, uint16_t count, const uint16_t* values) override;
    bool readCoils(uint16_t start, uint16_t count, uint8_t* packed) override;
    bool writeCoil(uint16_t coil, bool on) override;
    void flushInput() override { record("F"); }
    Timing timing() const override { return current; }
    void setTiming(const Timing& t) override { current = t; }
    int port() const override { return portHandle; }
    void usePort(int handle, uint8_t address) override;

private:
    static constexpr int waypadInPositionCoil = 4;
    bool record(const std::string& entry);  // false when this exchange fails
    void startSelectedPoint();
};
