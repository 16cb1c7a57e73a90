// The drive on its line: Modbus answers and exceptions, framing, scope stream records for every channel
// mask (read by the reference decoder), the stream's pace and stop, and a USB adapter's batches.

#include "StreamDecoder.h"
#include "sim/SignalGenerator.h"
#include "sim/StreamPacker.h"

#include <random>

using namespace simtest;
using drivesim::ScopeSample;

namespace {

std::string expected(const std::string& hexWithoutCrc) { return toHex(withCrc(hex(hexWithoutCrc))); }

// Requests and answers in the order sent, CRCs left out.
void expectAnswers(DriveHarness& d, std::initializer_list<std::pair<const char*, const char*>> exchanges)
{
    for (const auto& [request, answer] : exchanges)
        EXPECT_EQ(toHex(d.request(request)), expected(answer)) << request;
}

}  // namespace

// Catches wrong answers, a missing exception (range, count, read-only, refused value), a half-applied write,
// answers to other stations or broadcasts, a station change before its answer, or station 0 taken.
TEST(SlaveReply, ReadsWritesExceptionsAndAddressing)
{
    DriveHarness d;
    expectAnswers(d, {{"01 06 00 10 00 4D", "01 06 00 10 00 4D"},
                      {"01 10 00 53 00 02 04 01 F4 FF 38", "01 10 00 53 00 02"},
                      {"01 03 00 53 00 02", "01 03 04 01 F4 FF 38"},
                      {"01 05 00 26 FF 00", "01 05 00 26 FF 00"},
                      {"01 0F 00 22 00 02 01 03", "01 0F 00 22 00 02"},
                      {"01 01 00 20 00 0B", "01 01 02 4C 00"},
                      {"01 2B 0E 01 00", "01 AB 01"},              // unknown function, found by CRC
                      {"01 03 00 7F 00 02", "01 83 02"},           // runs past Pr.7F
                      {"01 03 00 00 00 7E", "01 83 03"},           // 126 registers
                      {"01 06 03 83 00 00", "01 86 02"},           // alarm is read-only
                      {"01 10 00 10 00 02 03 00 01 00", "01 90 03"},  // count/bytes mismatch
                      {"01 10 00 10 00 02 04 00 63 00 00", "01 90 03"},  // Pr.11 := 0 refuses both
                      {"01 03 00 10 00 01", "01 03 02 00 4D"}});   // and Pr.10 is unchanged
    // The largest read: 125 registers in 255 bytes.
    const Bytes reply = d.request("01 03 00 00 00 7D");
    ASSERT_EQ(reply.size(), 255u);
    EXPECT_EQ(reply[2], 250);
    EXPECT_EQ(withCrc(Bytes(reply.begin(), reply.begin() + 253)), reply);

    // Other stations and broadcasts are not answered; a new station takes effect after its answer; never station 0.
    EXPECT_TRUE(d.request("02 03 00 00 00 01").empty());
    EXPECT_TRUE(d.request("00 06 00 10 00 50").empty());  // broadcast: done, not answered
    EXPECT_EQ(d.readRegister(0x10), 0x50);
    expectAnswers(d, {{"01 06 00 00 00 05", "01 06 00 00 00 05"}});
    EXPECT_TRUE(d.request("01 03 00 00 00 01").empty());
    expectAnswers(d, {{"05 06 00 00 00 00", "05 86 03"}});  // station 0 would lose the drive
}

// Catches garbage, truncated or bad-CRC frames answered, split frames lost, or a cut frame that swallows the next.
TEST(SlaveFraming, GarbageTruncationBadCrcSplitFramesAndQuietLine)
{
    DriveHarness d;
    const Bytes request = withCrc(hex("01 03 00 00 00 01"));
    const std::string answer = expected("01 03 02 00 01");
    EXPECT_EQ(toHex(d.send(hex("FF 00 13 C5 01") + request)), answer);
    EXPECT_EQ(toHex(d.send(hex("01 03 00 00") + request)), answer);
    EXPECT_TRUE(d.send(hex("01 03 00 00 00 01 84 0B")).empty());
    EXPECT_TRUE(d.runFor(100000).empty());

    const Bytes write = withCrc(hex("01 10 00 10 00 02 04 00 28 00 29"));
    for (size_t i = 0; i + 1 < write.size(); ++i)
        EXPECT_TRUE(d.send({write[i]}).empty());
    EXPECT_EQ(toHex(d.send({write.back()})), expected("01 10 00 10 00 02"));

    // A cut write claiming 255 data bytes would swallow the next request;
    // once the line has been quiet the drive forgets it.
    EXPECT_TRUE(d.send(hex("01 10 00 10 00 02 FF")).empty());
    d.runFor(60000);
    EXPECT_EQ(toHex(d.send(request)), answer);
}

// Catches a slave that hangs or dies on seeded random noise.
TEST(SlaveFuzz, SeededNoiseNeverBreaksTheSlave)
{
    DriveHarness d;
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255), length(1, 64);
    for (int round = 0; round < 3000; ++round) {
        Bytes noise(length(random));
        for (uint8_t& b : noise)
            b = static_cast<uint8_t>(byte(random));
        noise[0] = round % 3 == 0 ? 0x01 : noise[0];  // make it look like our station now and then
        d.send(noise);
    }
    d.runFor(100000);
    // The noise may have changed the station number or started the stream.
    const uint8_t station = d.sim.registers().station();
    d.writeRegister(kChannelSelect, 0);
    d.runFor(100000);
    EXPECT_EQ(d.readRegister(0x00), station);
}

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

// Catches records before the start echo, an answer split by records, and a wrong pace.
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

// Catches output sent byte by byte, partial packets before the timer's tick, and lost or reordered bytes.
TEST(UsbAdapter, DeliversFullPacketsAtOnceAndTheRestOnTheTimersTick)
{
    for (const auto& [request, replyBytes] :
         {std::pair{"01 03 00 00 00 40", 133}, {"01 06 00 10 00 30", 8}, {"01 03 00 00 00 7D", 255}}) {
        SCOPED_TRACE(request);
        DriveHarness d = DriveHarness::withOptions({"--baud", "115200", "--pace", "--usb-batch", "16"});
        Bytes arrived = d.request(request);
        size_t atTicks = 0;
        for (int ms = 0; ms < 60; ++ms) {
            const Bytes chunk = d.runFor(1000);
            const bool onTick = d.nowUs % 16000 == 0;
            EXPECT_TRUE(chunk.empty() || chunk.size() == 62 || onTick) << chunk.size() << " bytes at " << d.nowUs;
            atTicks += !chunk.empty() && onTick ? 1 : 0;
            arrived = arrived + chunk;
        }
        ASSERT_EQ(arrived.size(), size_t(replyBytes));
        EXPECT_EQ(withCrc(Bytes(arrived.begin(), arrived.end() - 2)), arrived);  // whole and in order
        EXPECT_GE(atTicks, 1u);  // the tail waited for the timer
    }
}
