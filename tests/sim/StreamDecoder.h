#pragma once
// A reference decoder of the drive's 9-byte scope records, written from the
// record layout (not from the drive's packer), and a reader that picks the
// records out of what the line carried.

#include "DriveHarness.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace simtest {

// Mask bits in order; a record carries the lowest three set bits' channels in slots 1-3.
enum Channel { Deviation, Command, Speed, Torque };
using Sample = std::map<Channel, int16_t>;

// The slot values from the payload D0..D5 (bytes 1..6 of the record):
// slot 1 is 14 bits (15 for the deviation), slots 2 and 3 are 14 bits.
inline int16_t slot1(const uint8_t* d, bool deviation)
{
    const int v = ((d[0] & (deviation ? 7 : 3)) << 12) + (d[1] << 4) + (d[2] >> 4);
    return static_cast<int16_t>(deviation ? v | (d[0] & 0x04 ? 0x8000 : 0) : v | (d[0] & 0x02 ? 0xC000 : 0));
}
inline int16_t slot2(const uint8_t* d)
{
    return static_cast<int16_t>((((d[2] & 15) << 10) + (d[3] << 2) + (d[4] >> 6)) | (d[2] & 0x08 ? 0xC000 : 0));
}
inline int16_t slot3(const uint8_t* d)
{
    return static_cast<int16_t>((((d[4] & 63) << 8) + d[5]) | (d[4] & 0x20 ? 0xC000 : 0));
}

// Decodes one record into channel values; false if marker or CRC is wrong.
inline bool decode(const uint8_t* r, int mask, Sample& out)
{
    if (mask < 1 || mask > 14 || r[0] != 0xC5 || withCrc(Bytes(r, r + 7)) != Bytes(r, r + 9))
        return false;
    out.clear();
    int slot = 0;
    for (const Channel c : {Deviation, Command, Speed, Torque}) {
        if (mask & (1 << c))
            out[c] = slot == 0 ? slot1(r + 1, c == Deviation) : slot == 1 ? slot2(r + 1) : slot3(r + 1);
        slot += (mask >> c) & 1;
    }
    return true;
}

// Every valid record in `line` from `at` on, skipping anything else.
inline std::vector<Sample> records(const Bytes& line, int mask, size_t at = 0)
{
    std::vector<Sample> out;
    for (Sample s; at + 9 <= line.size();) {
        const bool valid = decode(&line[at], mask, s);
        if (valid)
            out.push_back(s);
        at += valid ? 9 : 1;
    }
    return out;
}

// One channel of a run of samples.
inline std::vector<int> channel(const std::vector<Sample>& samples, Channel which)
{
    std::vector<int> out;
    for (const Sample& s : samples)
        out.push_back(s.count(which) ? s.at(which) : 0);
    return out;
}

// What the drive's scope stream shows with `mask` while `action` runs and
// `ms` pass; the stream is stopped again afterwards.
inline std::vector<Sample> scope(DriveHarness& d, int mask, uint64_t ms, const std::function<Bytes()>& action = {})
{
    Bytes line = d.sendWrite(kChannelSelect, uint16_t(mask));
    line = line + (action ? action() : Bytes());  // one statement each: the order matters
    line = line + d.runFor(ms * 1000);
    d.writeRegister(kChannelSelect, 0);
    return records(line, mask, 8);
}

}  // namespace simtest
