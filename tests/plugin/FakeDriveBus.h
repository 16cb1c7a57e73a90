#pragma once
// A drive behind the DriveBus seam, in memory: registers and coils, a log
// of every exchange ("R180+2", "W2002=1025", "C42=1", "RC0+6", "F" for a
// flush, "P5/7" for a port change), failures on demand, and a position that
// jumps to the point selected on coils 42, 39, 37, 34 (bits 0-3) on a rising
// start coil (35). Coil and register numbers are the drive's, written here,
// not taken from the plug-in's code.

#include "plugin/DriveBus.h"

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeDriveBus : public waypad::DriveBus {
public:
    std::map<uint16_t, uint16_t> registers;
    std::map<uint16_t, uint16_t> readOverrides;  // what a read gives, whatever was written
    std::array<bool, 64> coils{};
    std::vector<std::string> log;
    std::vector<int> startedPoints;  // the point selected at each rising start coil
    std::vector<Timing> timings;  // the timing of each exchange
    int failFrom = 0;             // exchanges from this number on fail (1-based; 0 never)
    std::function<bool(const std::string&)> failWhen;  // sees each log entry; true: it fails
    Timing current{0, 60000};
    int portHandle = 5;

    FakeDriveBus() { coils[4] = true; }  // output 4: in position

    void setLong(uint16_t low, int32_t value)
    {
        registers[low] = uint16_t(uint32_t(value));
        registers[low + 1] = uint16_t(uint32_t(value) >> 16);
    }
    int32_t getLong(uint16_t low) { return int32_t(registers[low] | registers[low + 1] << 16); }
    size_t count(const std::string& prefix) const  // log entries that start with `prefix`
    {
        size_t n = 0;
        for (const std::string& e : log)
            n += e.rfind(prefix, 0) == 0;
        return n;
    }

    bool readRegisters(uint16_t start, uint16_t count, uint16_t* values) override
    {
        if (!record("R" + std::to_string(start) + "+" + std::to_string(count)))
            return false;
        for (uint16_t i = 0; i < count; ++i) {
            const auto over = readOverrides.find(uint16_t(start + i));
            values[i] = over != readOverrides.end() ? over->second : registers[start + i];
        }
        return true;
    }
    bool writeRegisters(uint16_t start, uint16_t count, const uint16_t* values) override
    {
        std::string entry = "W" + std::to_string(start) + "=";
        for (uint16_t i = 0; i < count; ++i)
            entry += (i ? "," : "") + std::to_string(values[i]);
        if (!record(entry))
            return false;
        for (uint16_t i = 0; i < count; ++i)
            registers[start + i] = values[i];
        return true;
    }
    bool readCoils(uint16_t start, uint16_t count, uint8_t* packed) override
    {
        if (!record("RC" + std::to_string(start) + "+" + std::to_string(count)))
            return false;
        for (uint16_t i = 0; i < count; ++i)
            packed[i / 8] = uint8_t((i % 8 ? packed[i / 8] : 0) | coils[start + i] << (i % 8));
        return true;
    }
    // On a rising start coil: to the selected point's target, or by it in
    // the relative mode (register 939 = 1).
    bool writeCoil(uint16_t coil, bool on) override
    {
        if (!record("C" + std::to_string(coil) + "=" + (on ? "1" : "0")))
            return false;
        const bool rising = coil == 35 && on && !coils[coil];
        coils[coil] = on;
        const uint16_t selectCoils[4] = {42, 39, 37, 34};
        int point = 0;
        for (int bit = 0; bit < 4; ++bit)
            point |= coils[selectCoils[bit]] << bit;
        if (rising) {
            startedPoints.push_back(point);
            setLong(180, (registers[939] == 1 ? getLong(180) : 0) + getLong(uint16_t(200 + 2 * point)));
        }
        return true;
    }
    void flushInput() override { record("F"); }
    Timing timing() const override { return current; }
    void setTiming(const Timing& t) override { current = t; }
    int port() const override { return portHandle; }
    void usePort(int handle, uint8_t address) override
    {
        portHandle = handle;
        log.push_back("P" + std::to_string(handle) + "/" + std::to_string(address));
    }

private:
    bool record(const std::string& entry)  // false when this exchange fails
    {
        log.push_back(entry);
        timings.push_back(current);
        return !(failWhen && failWhen(entry)) && !(failFrom > 0 && int(log.size()) >= failFrom);
    }
};
