// Scope stream records, decoded by a reference decoder written from the
// record layout (not from the drive's packer), for every channel mask.

#include "DriveHarness.h"
#include "sim/SignalGenerator.h"
#include "sim/StreamPacker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace simtest;
using drivesim::ScopeSample;
using drivesim::SignalGenerator;
using drivesim::StreamPacker;
using testsupport::hex;
using testsupport::withCrc;

namespace {

enum Channel { Deviation, Command, Speed, Torque, None };

// Which channel rides in slots 1, 2 and 3, per mask 1-14.
const Channel kSlots[15][3] = {
    {None, None, None},          {Deviation, None, None},    {Command, None, None},
    {Deviation, Command, None},  {Speed, None, None},        {Deviation, Speed, None},
    {Command, Speed, None},      {Deviation, Command, Speed}, {Torque, None, None},
    {Deviation, Torque, None},   {Command, Torque, None},    {Deviation, Command, Torque},
    {Speed, Torque, None},       {Deviation, Speed, Torque}, {Command, Speed, Torque},
};

// D0..D5 are bytes 1..6 of the record.
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

// The sample field behind each channel.
const int16_t ScopeSample::*const kField[4] = {&ScopeSample::deviation, &ScopeSample::speedCommand,
                                               &ScopeSample::speed, &ScopeSample::torque};

// Decodes one record into channel values; false if marker or CRC is wrong.
bool decode(const uint8_t* r, int mask, std::map<Channel, int16_t>& out)
{
    if (r[0] != 0xC5 || withCrc(Bytes(r, r + 7)) != Bytes(r, r + 9))
        return false;
    const uint8_t* d = r + 1;
    const int16_t slots[3] = {slot1(d, kSlots[mask][0] == Deviation), slot2(d), slot3(d)};
    out.clear();
    for (int i = 0; i < 3; ++i)
        if (kSlots[mask][i] != None)
            out[kSlots[mask][i]] = slots[i];
    return true;
}

}  // namespace

TEST(StreamDecoder, MatchesTheWorkedExamples)
{
    const uint8_t payload[6] = {0x04, 0x00, 0x00, 0x01, 0x23, 0x40}, low[6] = {0, 0, 0, 0, 0x20, 0x00};
    EXPECT_EQ(slot1(payload, true), -16384);
    EXPECT_EQ(slot2(payload), 4);
    EXPECT_EQ(slot3(low), -8192);
}

TEST(StreamRecord, EveryMaskCarriesItsSignalsAtFullScaleAndClips)
{
    std::map<Channel, int16_t> decoded;
    for (int mask = 1; mask <= 14; ++mask) {
        SCOPED_TRACE(mask);
        std::map<Channel, int16_t> lowest, highest;
        for (uint64_t n = 0; n < SignalGenerator::kDeviationPeriod; ++n) {
            const ScopeSample sample = SignalGenerator::sampleAt(n);
            ASSERT_TRUE(decode(StreamPacker::pack(static_cast<uint8_t>(mask), sample).data(), mask, decoded));
            ASSERT_EQ(decoded.size(), static_cast<size_t>(__builtin_popcount(mask)));
            for (const auto& [channel, value] : decoded) {
                ASSERT_EQ(value, sample.*kField[channel]) << "sample " << n << " channel " << channel;
                lowest[channel] = lowest.count(channel) ? std::min(lowest[channel], value) : value;
                highest[channel] = highest.count(channel) ? std::max(highest[channel], value) : value;
            }
        }
        // Each signal swings through the whole width of its slot, sign bits included.
        for (const auto& [channel, low] : lowest) {
            const int bits = channel == Deviation ? 15 : 14;
            EXPECT_EQ(low, -(1 << (bits - 1))) << channel;
            EXPECT_EQ(highest[channel], (1 << (bits - 1)) - 1) << channel;
        }
    }
    // Out-of-range values clip instead of wrapping.
    ScopeSample s;
    s.speedCommand = 30000;
    s.speed = -30000;
    ASSERT_TRUE(decode(StreamPacker::pack(6, s).data(), 6, decoded));
    EXPECT_EQ(decoded[Command], 8191);
    EXPECT_EQ(decoded[Speed], -8192);
}

TEST(StreamOnTheLine, EchoFirstThenRecordsWithAnswersBetween)
{
    drivesim::DriveSimulator::LineSettings paced;
    paced.baud = 115200;
    paced.paced = true;
    paced.latencyMs = 10;
    DriveHarness d({}, paced);
    const Bytes start = withCrc(hex("01 06 00 90 00 0B"));
    Bytes line = d.send(start);
    line = line + d.runFor(50000);
    ASSERT_TRUE(line.size() > start.size() && std::equal(start.begin(), start.end(), line.begin()));
    // A request in mid-stream: its answer comes whole, between records.
    line = line + d.request("01 03 00 10 00 01");
    line = line + d.runFor(50000);

    const Bytes answer = withCrc(hex("01 03 02 00 23"));
    size_t records = 0, answers = 0;
    std::map<Channel, int16_t> decoded;
    for (size_t at = start.size(); at < line.size();) {
        if (line[at] == 0xC5) {
            ASSERT_LE(at + 9, line.size());
            ASSERT_TRUE(decode(&line[at], 11, decoded)) << "at " << at;
            ++records;
            at += 9;
        } else {
            ASSERT_TRUE(std::equal(answer.begin(), answer.end(), line.begin() + at)) << "at " << at;
            ++answers;
            at += answer.size();
        }
    }
    EXPECT_EQ(answers, 1u);
    EXPECT_NEAR(static_cast<double>(records), 101.0 - 10, 2.0);  // 101 ms, the first 10 waiting for the echo

    d.request("01 06 00 90 00 00");
    d.runFor(20000);
    EXPECT_TRUE(d.runFor(50000).empty());
}

namespace {

// Counts the whole, valid records in `line` from `at` on.
size_t countRecords(const Bytes& line, size_t at, int mask)
{
    std::map<Channel, int16_t> decoded;
    size_t records = 0;
    for (; at + 9 <= line.size(); at += 9)
        records += line[at] == 0xC5 && decode(&line[at], mask, decoded) ? 1 : 0;
    return records;
}

}  // namespace

TEST(StreamOnTheLine, NeverOutrunsTheLineAndStopsAtOnce)
{
    drivesim::DriveSimulator::LineSettings slow;
    slow.baud = 19200;
    slow.paced = true;
    DriveHarness d({}, slow);
    const Bytes start = withCrc(hex("01 06 00 90 00 0B")), stop = withCrc(hex("01 06 00 90 00 00"));
    Bytes line = d.send(start);
    line = line + d.runFor(1000000);
    ASSERT_TRUE(std::equal(start.begin(), start.end(), line.begin()));
    // 9 bytes of 10 bits: 213 records a second at 19200, not the 1000 asked for.
    EXPECT_NEAR(static_cast<double>(countRecords(line, start.size(), 11)), 213.0, 4.0);
    EXPECT_EQ(d.sim.counters().lostRecords, 0u);

    line = d.send(stop);
    line = line + d.runFor(300000);
    const auto echo = std::search(line.begin(), line.end(), stop.begin(), stop.end());
    ASSERT_NE(echo, line.end());
    // Only the record already on the wire may finish first; nothing follows the echo.
    EXPECT_LE(echo - line.begin(), 9);
    EXPECT_EQ(line.end() - echo, static_cast<std::ptrdiff_t>(stop.size()));
}

TEST(StreamOnTheLine, SampleClockRunsOnAcrossAStop)
{
    DriveHarness d;  // the drive's clock stands at 1000 ms: the speed sine crosses 0
    const Bytes start = withCrc(hex("01 06 00 90 00 04"));
    d.send(start);
    d.runFor(50000);
    d.request("01 06 00 90 00 00");
    d.runFor(200000);
    // Restarted 250 ms into the sine's second: its crest, not a new 0.
    Bytes line = d.send(start);
    line = line + d.runFor(5000);
    ASSERT_GE(line.size(), start.size() + 9);
    std::map<Channel, int16_t> decoded;
    ASSERT_TRUE(decode(&line[start.size()], 4, decoded));
    EXPECT_GT(decoded[Speed], 8000);
}
