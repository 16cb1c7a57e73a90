// The drive as a Modbus RTU slave: answers, exceptions, framing by length and CRC, and what it ignores.

#include "DriveHarness.h"

#include <random>

using namespace simtest;

namespace {

std::string expected(const std::string& hexWithoutCrc) { return toHex(withCrc(hex(hexWithoutCrc))); }

// Requests and answers in the order sent, CRCs left out.
void expectAnswers(DriveHarness& d, std::initializer_list<std::pair<const char*, const char*>> exchanges)
{
    for (const auto& [request, answer] : exchanges)
        EXPECT_EQ(toHex(d.request(request)), expected(answer)) << request;
}

}  // namespace

TEST(SlaveReply, ReadsWritesAndExceptions)
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
}

TEST(SlaveAddressing, OtherStationsAndBroadcast)
{
    DriveHarness d;
    EXPECT_TRUE(d.request("02 03 00 00 00 01").empty());
    EXPECT_TRUE(d.request("00 06 00 10 00 50").empty());  // broadcast: done, not answered
    EXPECT_EQ(d.readRegister(0x10), 0x50);
    // A new station number takes effect after the answer to its write.
    expectAnswers(d, {{"01 06 00 00 00 05", "01 06 00 00 00 05"}});
    EXPECT_TRUE(d.request("01 03 00 00 00 01").empty());
    expectAnswers(d, {{"05 06 00 00 00 00", "05 86 03"}});  // station 0 would lose the drive
}

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
