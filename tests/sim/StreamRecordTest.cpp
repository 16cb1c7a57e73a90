// Scope stream records, decoded by a reference decoder written from the
// record layout (not from the drive's packer), for every channel mask.

#include "DriveHarness.h"
#include "StreamDecoder.h"
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

// The sample field behind each channel.
const int16_t ScopeSample::*const kField[4] = {&ScopeSample::deviation, &ScopeSample::speedCommand,
                                               &ScopeSample::speed, &ScopeSample::torque};

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
    Sample decoded;
    for (int mask = 1; mask <= 14; ++mask) {
        SCOPED_TRACE(mask);
        Sample lowest, highest;
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
    Sample decoded;
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
    EXPECT_NEAR(static_cast<double>(records(line, 11, start.size()).size()), 213.0, 4.0);
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
    // The drive's clock stands at 1000 ms: the speed sine crosses 0.
    DriveHarness d = DriveHarness::withOptions({"--signals", "test"});
    const Bytes start = withCrc(hex("01 06 00 90 00 04"));
    d.send(start);
    d.runFor(50000);
    d.request("01 06 00 90 00 00");
    d.runFor(200000);
    // Restarted 250 ms into the sine's second: its crest, not a new 0.
    Bytes line = d.send(start);
    line = line + d.runFor(5000);
    ASSERT_GE(line.size(), start.size() + 9);
    Sample decoded;
    ASSERT_TRUE(decode(&line[start.size()], 4, decoded));
    EXPECT_GT(decoded[Speed], 8000);
}
