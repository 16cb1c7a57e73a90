#include "FakeDriveBus.h"

#include "plugin/PointRun.h"

void FakeDriveBus::setLong(uint16_t low, int32_t value)
{
    registers[low] = waypad::LowWord(value);
    registers[low + 1] = waypad::HighWord(value);
}

int32_t FakeDriveBus::getLong(uint16_t low) const
{
    const auto at = [this](uint16_t a) { auto it = registers.find(a); return it == registers.end() ? uint16_t(0) : it->second; };
    return waypad::JoinWords(at(low), at(low + 1));
}

std::vector<std::string> FakeDriveBus::entries(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& e : log)
        if (e.compare(0, prefix.size(), prefix) == 0)
            out.push_back(e);
    return out;
}

std::vector<int> FakeDriveBus::selectedPoints() const
{
    std::vector<int> points;
    int number = 0, seen = 0;
    for (const std::string& e : log) {
        for (int bit = 0; bit < 4; ++bit) {
            const std::string coil = "C" + std::to_string(waypad::kPointSelectCoils[bit]) + "=";
            if (e.compare(0, coil.size(), coil) != 0)
                continue;
            number |= (e.back() == '1') << bit;
            if (++seen == 4) {
                points.push_back(number);
                number = seen = 0;
            }
        }
    }
    return points;
}

bool FakeDriveBus::record(const std::string& entry)
{
    log.push_back(entry);
    timings.push_back(current);
    if (onExchange)
        onExchange(entry);
    const bool fails = (failFrom > 0 && int(log.size()) >= failFrom) || (failWhen && failWhen(entry));
    return !fails;
}

bool FakeDriveBus::readRegisters(uint16_t start, uint16_t count, uint16_t* values)
{
    if (!record("R" + std::to_string(start) + "+" + std::to_string(count)))
        return false;
    for (uint16_t i = 0; i < count; ++i)
        if (missing.count(start + i))
            return false;
    for (uint16_t i = 0; i < count; ++i) {
        const auto over = readOverrides.find(static_cast<uint16_t>(start + i));
        values[i] = over != readOverrides.end() ? over->second : registers[start + i];
    }
    return true;
}

bool FakeDriveBus::writeRegisters(uint16_t start, uint16_t count, const uint16_t* values)
{
    std::string entry = "W" + std::to_string(start) + "=";
    for (uint16_t i = 0; i < count; ++i)
        entry += (i ? "," : "") + std::to_string(values[i]);
    if (!record(entry))
        return false;
    for (uint16_t i = 0; i < count; ++i)
        if (missing.count(start + i))
            return false;
    for (uint16_t i = 0; i < count; ++i)
        registers[start + i] = values[i];
    return true;
}

bool FakeDriveBus::readCoils(uint16_t start, uint16_t count, uint8_t* packed)
{
    if (!record("RC" + std::to_string(start) + "+" + std::to_string(count)))
        return false;
    for (uint16_t i = 0; i < count; ++i) {
        if (i % 8 == 0)
            packed[i / 8] = 0;
        packed[i / 8] |= uint8_t(coils[start + i] << (i % 8));
    }
    return true;
}

bool FakeDriveBus::writeCoil(uint16_t coil, bool on)
{
    if (!record("C" + std::to_string(coil) + "=" + (on ? "1" : "0")))
        return false;
    const bool was = coils[coil];
    coils[coil] = on;
    if (coil == waypad::kStartCoil && on && !was)
        startSelectedPoint();
    return true;
}

void FakeDriveBus::usePort(int handle, uint8_t address)
{
    portHandle = handle;
    slave = address;
    log.push_back("P" + std::to_string(handle) + "/" + std::to_string(address));
}

// A drive in position mode goes there at once: to the point's target, or
// by it in the relative mode.
void FakeDriveBus::startSelectedPoint()
{
    int point = 0;
    for (int bit = 0; bit < 4; ++bit)
        point |= coils[waypad::kPointSelectCoils[bit]] << bit;
    const int32_t target = getLong(static_cast<uint16_t>(200 + 2 * point));
    const bool relative = registers[939] == 1;
    setLong(180, relative ? getLong(180) + target : target);
}
