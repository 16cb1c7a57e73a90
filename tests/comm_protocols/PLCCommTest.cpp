// The PLC computer link against a scripted controller on a pseudo-terminal.
// Sum checks in the expected frames were worked out by hand from the texts.
#include "comm/CPLCComm.h"

#include "ProtocolOnPty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace testsupport;

namespace {

const Bytes kEnq{0x05}, kStx{0x02}, kEtx{0x03}, kAck{0x06}, kNak{0x15};
const Bytes kWordWrite = kEnq + ascii("00FFWW0D0100011a2b56");
const Bytes kBitRead = kEnq + ascii("00FFBR0M00100A2F");
const Bytes kBitReply = kStx + ascii("00FF1010110010") + kEtx + ascii("D4");
const Bytes kWordRead = kEnq + ascii("00FFWR0D0100022C");
const Bytes kWordReply = kStx + ascii("00FF1A2B00ff") + kEtx + ascii("01");

class PlcLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        plc().SetAckWaitTime(15);
        plc().SetWordReplyWaitTime(15);
        plc().SetPreCountQueTimes(5000);  // about 50 ms
    }
    CPLCComm& plc() { return line.link; }
    // Bytes left waiting for the next exchange.
    unsigned long leftOver() {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return plc().PreCountInQue();
    }

    ProtocolOnPty<CPLCComm> line;
};

}  // namespace

// A word write reports acknowledgement, refusal with its code, silence and a malformed reply.
TEST_F(PlcLink, WordWriteAndEveryKindOfReply) {
    const std::pair<Answer, int> replies[] = {
        {Answer(kAck + ascii("00FF")), CPLCComm::PlcOk},
        {Answer(kNak + ascii("00FF7F")), CPLCComm::PlcNak},  // station, PC and error code
        {Answer::none(), CPLCComm::PlcNoReply},
        {Answer(kAck + ascii("00FF0")), CPLCComm::PlcError}};  // six bytes
    for (const auto& [answer, result] : replies) {
        line.device.expect(kWordWrite, answer);
        EXPECT_EQ(plc().PLC_WW16("D0100", 0x51A2B), result) << toHex(answer.bytes);  // only the low word goes
        EXPECT_EQ(leftOver(), 0u);
    }
    EXPECT_EQ(plc().GetLastNakCode(), 0x7F);
    EXPECT_EQ(toHex(line.device.requests().front()), toHex(kWordWrite));
}

// Bit writes longer than allowed or than their text are refused unsent.
TEST_F(PlcLink, BitWritesNeverReadPastTheirText) {
    const std::string many(161, '1');
    EXPECT_EQ(plc().PLC_BW("M0010", 161, many.c_str()), CPLCComm::PlcError);
    EXPECT_EQ(plc().PLC_BW("M0010", 4, "10"), CPLCComm::PlcError);  // shorter than n
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(line.device.received().empty());
}

// A bit read awaits count plus eight bytes and rejects long or corrupted replies untouched.
TEST_F(PlcLink, BitReadWaitsForCountPlusEightBytesAndRejectsTheRest) {
    // Ten bits: 18 bytes, the last eight of them late.
    line.device.expect(kBitRead, Answer(kBitReply).split({10}, 8));
    int bits[10] = {};
    ASSERT_EQ(plc()._PLC_BR("M0010", "0A", bits), CPLCComm::PlcOk);
    const int expected[10] = {1, 0, 1, 0, 1, 1, 0, 0, 1, 0};
    EXPECT_TRUE(std::equal(bits, bits + 10, expected));

    std::fill(bits, bits + 10, 7);
    for (const Answer& bad : {Answer(kBitReply).pad(hex("30")), Answer(kBitReply).corrupt(6, 0x01)}) {  // '1' -> '0'
        line.device.expect(kBitRead, bad);
        EXPECT_EQ(plc()._PLC_BR("M0010", "0A", bits), CPLCComm::PlcError) << toHex(bad.bytes);
        EXPECT_EQ(leftOver(), 0u);
    }
    EXPECT_EQ(bits[0], 7);  // a rejected reply writes nothing
    EXPECT_EQ(plc()._PLC_BR("M0010", "G", bits), CPLCComm::PlcError);  // not a count
}

// A word read rejects long, silent and corrupted replies and takes a late one whole.
TEST_F(PlcLink, WordReadLengthRules) {
    unsigned short words[2] = {0, 0};
    for (const Answer& bad : {Answer(kWordReply).pad(hex("30 30")), Answer::none(),
                              Answer(kWordReply).corrupt(15, 0x01), Answer(kWordReply).corrupt(5, 0x7F)}) {
        line.device.expect(kWordRead, bad);
        EXPECT_EQ(plc().PLC_WR16("D0100", 2, words), CPLCComm::PlcError) << toHex(bad.bytes);
        EXPECT_EQ(leftOver(), 0u);  // any surplus went with the reply
    }
    EXPECT_EQ(words[0] | words[1], 0);

    // A reply still arriving after the pause is taken whole.
    plc().SetPreCountQueTimes(30000);  // 0.3 s for the rest
    line.device.expect(kWordRead, Answer(kWordReply).split({6}, 25));
    ASSERT_EQ(plc().PLC_WR16("D0100", 2, words), CPLCComm::PlcOk);
    EXPECT_EQ(words[0], 0x1A2B);
    EXPECT_EQ(words[1], 0x00FF);
}
