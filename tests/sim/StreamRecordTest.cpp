// Scope stream records for every channel mask, read by the reference decoder; the stream on the line.

#include "StreamDecoder.h"
#include "sim/SignalGenerator.h"
#include "sim/StreamPacker.h"

using namespace simtest;
using drivesim::ScopeSample;

// Catches a reference decoder that disagrees with the layout's worked examples.
TEST(StreamDecoder, MatchesTheWorkedExamples)
{
    const uint8_t payload[6] = {0x04, 0x00, 0x00, 0x01, 0x23, 0x40}, low[6] = {0, 0, 0, 0, 0x20, 0x00};
    EXPECT_EQ(slot1(payload, true), -16384);
    EXPECT_EQ(slot2(payload), 4);
    EXPECT_EQ(slot3(low), -8192);
}

// Catches a packer that puts a channel in the wrong slot, drops sign bits or wraps instead of clipping.
TEST(StreamRecord, EveryMaskCarriesItsSignalsAtFullScaleAndClips)
{
    const int16_t ScopeSample::*const field[4] = {&ScopeSample::deviation, &ScopeSample::speedCommand,
                                                  &ScopeSample::speed, &ScopeSample::torque};
    Sample decoded;
    for (int mask = 1; mask <= 14; ++mask) {
        SCOPED_TRACE(mask);
        Sample lowest, highest;
        for (uint64_t n = 0; n < drivesim::SignalGenerator::kDeviationPeriod; ++n) {
            const ScopeSample sample = drivesim::SignalGenerator::sampleAt(n);
            ASSERT_TRUE(decode(drivesim::StreamPacker::pack(static_cast<uint8_t>(mask), sample).data(), mask, decoded));
            ASSERT_EQ(decoded.size(), static_cast<size_t>(__builtin_popcount(mask)));
            for (const auto& [channel, value] : decoded) {
                ASSERT_EQ(value, sample.*field[channel]) << "sample " << n << " channel " << channel;
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
    ScopeSample s;
    s.speedCommand = 30000;
    s.speed = -30000;
    ASSERT_TRUE(decode(drivesim::StreamPacker::pack(6, s).data(), 6, decoded));
    EXPECT_EQ(decoded[Command], 8191);
    EXPECT_EQ(decoded[Speed], -8192);
}

// Catches records before the start echo, an answer split by records, a wrong pace and a stream that outlives its stop.
TEST(StreamOnTheLine, EchoFirstThenRecordsWithAnswersBetween)
{
    DriveHarness d = DriveHarness::withOptions({"--baud", "115200", "--pace", "--latency", "10"});
    const Bytes start = withCrc(hex("01 06 00 90 00 0B")), answer = withCrc(hex("01 03 02 00 23"));
    Bytes line = d.send(start);
    line = line + d.runFor(50000);
    ASSERT_TRUE(line.size() > start.size() && std::equal(start.begin(), start.end(), line.begin()));
    line = line + d.request("01 03 00 10 00 01");  // a request in mid-stream
    line = line + d.runFor(50000);
    size_t records = 0, answers = 0;
    Sample decoded;
    for (size_t at = start.size(); at < line.size();) {
        if (line[at] == 0xC5) {
            ASSERT_TRUE(at + 9 <= line.size() && decode(&line[at], 11, decoded)) << "at " << at;
            ++records, at += 9;
        } else {
            ASSERT_TRUE(std::equal(answer.begin(), answer.end(), line.begin() + at)) << "at " << at;
            ++answers, at += answer.size();
        }
    }
    EXPECT_EQ(answers, 1u);
    EXPECT_NEAR(static_cast<double>(records), 101.0 - 10, 2.0);  // 101 ms, the first 10 waiting for the echo
    d.request("01 06 00 90 00 00");
    d.runFor(20000);
    EXPECT_TRUE(d.runFor(50000).empty());
}

// Catches a stream faster than 19200 carries, lost records, and queued records sent after the stop echo.
TEST(StreamOnTheLine, NeverOutrunsTheLineAndStopsAtOnce)
{
    DriveHarness d = DriveHarness::withOptions({"--baud", "19200", "--pace"});
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
    EXPECT_LE(echo - line.begin(), 9);  // only the record already on the wire
    EXPECT_EQ(line.end() - echo, static_cast<std::ptrdiff_t>(stop.size()));
}

// Catches a sample clock that restarts at 0 with each start (false trigger edges after a pause).
TEST(StreamOnTheLine, SampleClockRunsOnAcrossAStop)
{
    // The drive's clock stands at 1000 ms: the speed sine crosses 0.
    DriveHarness d = DriveHarness::withOptions({"--signals", "test"});
    scope(d, 4, 50);
    d.runFor(200000);
    // Restarted 250 ms into the sine's second: its crest, not a new 0.
    const std::vector<Sample> restarted = scope(d, 4, 5);
    ASSERT_FALSE(restarted.empty());
    EXPECT_GT(restarted[0].at(Speed), 8000);
}
