#include "StreamDecoder.h"

namespace simtest {

using testsupport::Bytes;
using testsupport::withCrc;

const Channel kSlots[15][3] = {
    {None, None, None},          {Deviation, None, None},    {Command, None, None},
    {Deviation, Command, None},  {Speed, None, None},        {Deviation, Speed, None},
    {Command, Speed, None},      {Deviation, Command, Speed}, {Torque, None, None},
    {Deviation, Torque, None},   {Command, Torque, None},    {Deviation, Command, Torque},
    {Speed, Torque, None},       {Deviation, Speed, Torque}, {Command, Speed, Torque},
};

int16_t slot1(const uint8_t* d, bool deviation)
{
    int v = deviation ? ((d[0] & 7) << 12) + (d[1] << 4) + (d[2] >> 4) : ((d[0] & 3) << 12) + (d[1] << 4) + (d[2] >> 4);
    if (deviation && (d[0] & 0x04)) v |= 0x8000;
    if (!deviation && (d[0] & 0x02)) v |= 0xC000;
    return static_cast<int16_t>(v);
}

int16_t slot2(const uint8_t* d)
{
    int v = ((d[2] & 15) << 10) + (d[3] << 2) + (d[4] >> 6);
    if (d[2] & 0x08) v |= 0xC000;
    return static_cast<int16_t>(v);
}

int16_t slot3(const uint8_t* d)
{
    int v = ((d[4] & 63) << 8) + d[5];
    if (d[4] & 0x20) v |= 0xC000;
    return static_cast<int16_t>(v);
}

bool decode(const uint8_t* r, int mask, Sample& out)
{
    if (mask < 1 || mask > 14 || r[0] != 0xC5 || withCrc(Bytes(r, r + 7)) != Bytes(r, r + 9))
        return false;
    const uint8_t* d = r + 1;
    const int16_t slots[3] = {slot1(d, kSlots[mask][0] == Deviation), slot2(d), slot3(d)};
    out.clear();
    for (int i = 0; i < 3; ++i)
        if (kSlots[mask][i] != None)
            out[kSlots[mask][i]] = slots[i];
    return true;
}

std::vector<Sample> records(const Bytes& line, int mask, size_t at)
{
    std::vector<Sample> out;
    Sample s;
    while (at + 9 <= line.size()) {
        if (decode(&line[at], mask, s)) {
            out.push_back(s);
            at += 9;
        } else {
            ++at;
        }
    }
    return out;
}

std::vector<int> channel(const std::vector<Sample>& samples, Channel which)
{
    std::vector<int> out;
    for (const Sample& s : samples)
        out.push_back(s.count(which) ? s.at(which) : 0);
    return out;
}

std::vector<Sample> scope(DriveHarness& d, int mask, uint64_t ms, const std::function<Bytes()>& action)
{
    constexpr uint16_t kChannels = 0x90;
    Bytes line = d.sendWrite(kChannels, static_cast<uint16_t>(mask));
    line = line + action();
    line = line + d.runFor(ms * 1000);
    d.writeRegister(kChannels, 0);
    return records(line, mask, 8);
}

}  // namespace simtest
