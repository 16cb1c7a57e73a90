// The motion controller: its checksum frames and acknowledgement waits, and
// its Modbus operations, against a scripted controller on a pseudo-terminal.
// Checksums of the expected frames were summed by hand.
#include "comm/CMCComm.h"

#include "ProtocolOnPty.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>

using namespace testsupport;

namespace {

class MotionController : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        mc().SetReplyWaitTime(10);
        mc().SetAckPollTime(5);
        mc().SetRetryPauseTime(1);
        mc().SetPreCountQueTimes(5000);  // Modbus replies: about 50 ms
        mc().SetBeepHandler([this] { ++beeps; });
    }
    CMCComm& mc() { return line.link; }

    ProtocolOnPty<CMCComm> line;
    int beeps = 0;
};

const Bytes kSaveParm = hex("05 00 15 05 01 FF FF FF FE 16");  // channel 1 := -2

}  // namespace

TEST_F(MotionController, ReadsAParameterByChannel) {
    line.device.expect(hex("05 00 03 01 02 06"), Answer(hex("05 00 03 00 01 E2 40 00")));
    int value = 0;
    ASSERT_EQ(mc().EM_ReadParm(2, value), 1);
    EXPECT_EQ(value, 123456);

    line.device.expect(hex("05 00 03 01 02 06"), Answer(hex("05 00 03 00 01")));  // cut short
    value = 7;
    EXPECT_EQ(mc().EM_ReadParm(2, value), 0);
    EXPECT_EQ(value, 7);
}

TEST_F(MotionController, SavesAParameterOnlyWhenAcknowledged) {
    // A late acknowledgement is picked up by the polls that follow.
    for (const auto& [answer, result] : {std::pair{Answer(hex("06")), 1}, {Answer(hex("06")).after(25), 1},
                                         {Answer(hex("15")), 0}, {Answer::none(), 0}}) {
        line.device.expect(kSaveParm, answer);
        EXPECT_EQ(mc().EM_SaveParm(1, -2), result) << toHex(answer.bytes);
    }
    // A slow controller gets the same frame one byte at a time.
    mc().SetByteWaitTime(2);
    line.device.expect(kSaveParm, Answer(hex("06")));
    EXPECT_EQ(mc().EM_SaveParm(1, -2), 1);
    EXPECT_EQ(line.device.requests().size(), 5u);
}

TEST_F(MotionController, FlagsAndSerialBlocksWaitForTheirAcknowledgement) {
    line.device.expect(hex("05 00 06 10") + Bytes(16, 0xFF) + hex("06"), Answer(hex("06")));
    EXPECT_EQ(mc().SetAllDIOFlag(), 1);
    const char serial[] = "SN-0001-ABCDEFGHIJKLMNOPQRSTUVWX";
    line.device.expect(hex("05 00 08 20") + ascii(serial) + hex("10"), Answer(hex("00 06")));
    EXPECT_EQ(mc().SaveSerialData(serial), 0);  // the first byte is not an acknowledgement
    EXPECT_EQ(mc().SaveSerialData(nullptr), 0);
}

TEST_F(MotionController, ReadsSerialAndInformationBlocks) {
    const std::string serial = "0123456789abcdefghijklmnopqrstuv";
    line.device.expect(hex("05 00 09 00 09"), Answer(hex("05 00 09") + ascii(serial) + hex("00")));
    char out[40] = {};
    ASSERT_EQ(mc().ReadSerialData(out), 1);
    EXPECT_EQ(std::string(out), serial);

    const std::string info = "Controller V1.2 2026-12-06.";  // 27 characters
    line.device.expect(hex("05 00 0A 00 0A"), Answer(hex("05 00 0A") + ascii(info)));
    ASSERT_EQ(mc().ReadInfoData(out), 1);
    EXPECT_EQ(std::string(out, 27), info);

    line.device.expect(hex("05 00 0A 00 0A"), Answer(hex("05 00 0A") + ascii("short")));
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(mc().ReadInfoData(out), 0);
    EXPECT_EQ(out[0], '#');
}

TEST_F(MotionController, PositionBatchNeedsTheWholeReplyAndFitsItsBuffer) {
    // Positions 3 and 4: 100 and -100, most significant byte first.
    const Bytes reply = hex("05 00 05 00 00 00 64 FF FF FF 9C 00 00");
    line.device.expect(hex("05 00 05 02 03 02 0C"), Answer(reply).split({5}, 5));
    std::vector<int> out{0, 0, 42};
    ASSERT_EQ(mc().ReadDIOPositionBatch(3, 2, out.data()), 1);
    EXPECT_EQ(out, (std::vector<int>{100, -100, 42}));
    line.device.expect(hex("05 00 05 02 03 02 0C"), Answer(Bytes(reply.begin(), reply.end() - 1)));
    out[0] = 5;
    EXPECT_EQ(mc().ReadDIOPositionBatch(3, 2, out.data()), 0);
    EXPECT_EQ(out[0], 5);

    // The largest batch: 255 positions.
    Bytes whole = hex("05 00 05");
    for (int i = 0; i < 255; ++i) whole = whole + hex("00 00 01") + Bytes{static_cast<uint8_t>(i)};
    line.device.expect(hex("05 00 05 02 00 FF 06"), Answer(whole + hex("00 00")));
    out.assign(255, 0);
    ASSERT_EQ(mc().ReadDIOPositionBatch(0, 255, out.data()), 1);
    EXPECT_EQ(out[0], 256);
    EXPECT_EQ(out[254], 256 + 254);
}

TEST_F(MotionController, PositionsTravelLowWordFirst) {
    line.device.expect(withCrc(hex("01 10 00 CE 00 02 04 FF FE FF FF")), Answer(withCrc(hex("01 10 00 CE 00 02"))));
    EXPECT_EQ(mc().SaveDIOPosition(3, -2), 1);
    line.device.expect(withCrc(hex("01 03 00 CE 00 02")), Answer(withCrc(hex("01 03 04 FF 9C FF FF"))));
    int position = 0;
    EXPECT_EQ(mc().ReadDIOPosition(3, position), 1);
    EXPECT_EQ(position, -100);
    line.device.expect(withCrc(hex("01 03 00 CE 00 02")), Answer::none());
    EXPECT_EQ(mc().ReadDIOPosition(3, position), 0);
    EXPECT_EQ(position, 0);
}

TEST_F(MotionController, ParametersByNumber) {
    line.device.expect(withCrc(hex("01 10 00 53 00 01 02 00 07")), Answer(withCrc(hex("01 10 00 53 00 01"))));
    EXPECT_EQ(mc().SaveParm(21, 0x10007), 1);  // register 83, low 16 bits
    line.device.expect(withCrc(hex("01 10 00 50 00 01 02 00 01")), Answer(withCrc(hex("01 10 00 50 00 01"))));
    EXPECT_EQ(mc().LoopBackTest(), 1);
    EXPECT_EQ(mc().SaveParm(3, 1), 0);

    int value = 0;
    line.device.expect(withCrc(hex("01 01 00 00 00 0E")), Answer(withCrc(hex("01 01 02 34 12"))));
    ASSERT_EQ(mc().ReadParm(22, value), 1);
    EXPECT_EQ(value, 0x1234);
    line.device.expect(withCrc(hex("01 03 00 96 00 02")), Answer(withCrc(hex("01 03 04 00 02 00 01"))));
    ASSERT_EQ(mc().ReadParm(23, value), 1);
    EXPECT_EQ(value, 0x10002);
    EXPECT_EQ(mc().GetReadCounter(), 1);
    EXPECT_EQ(mc().ReadParm(5, value), 0);  // no such parameter: nothing sent
    EXPECT_EQ(line.device.requests().size(), 4u);
    EXPECT_EQ(beeps, 0);
}

TEST_F(MotionController, RetryRoundsPauseAndBeep) {
    mc().SetRetryRounds(2);
    mc().SetPreCountQueTimes(500);
    int value = 0;
    EXPECT_EQ(mc().ReadParm(17, value), 0);
    EXPECT_EQ(beeps, 3);  // before rounds 2 and 3, and on giving up
    EXPECT_EQ(mc().GetFailedRounds(), 2);
    unsigned char flags[16];
    beeps = 0;
    EXPECT_EQ(mc().ReadDIOFlag(flags), 0);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(mc().GetFailedRounds(), 2);  // only ReadParm counts them

    // Succeeds in the second round.
    mc().SetPreCountQueTimes(5000);
    const Bytes reset = withCrc(hex("01 0F 00 20 00 80 10") + Bytes(16, 0));
    line.device.expect(reset, Answer::none());
    line.device.expect(reset, Answer(withCrc(hex("01 0F 00 20 00 80"))));
    beeps = 0;
    EXPECT_EQ(mc().ResetDIOFlag(), 1);
    EXPECT_EQ(beeps, 1);
}

TEST_F(MotionController, ResetAllRegisterWritesTheDoublingPairs) {
    std::mutex mutex;
    std::vector<int> starts;
    line.device.setHandler([&](Bytes& pending) -> std::optional<Answer> {
        const size_t length = ScriptedResponder::modbusRequestLength(pending);
        if (length == 0 || pending.size() < length) return std::nullopt;
        const Bytes request(pending.begin(), pending.begin() + length);
        pending.erase(pending.begin(), pending.begin() + length);
        std::lock_guard<std::mutex> lock(mutex);
        starts.push_back(request[2] << 8 | request[3]);
        return Answer(withCrc(Bytes(request.begin(), request.begin() + 6)));
    });
    EXPECT_EQ(mc().ResetAllRegister(), 1);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(starts, (std::vector<int>{202, 204, 208, 216, 232, 264, 328, 456, 200, 454}));
}

TEST(MotionControllerFrame, ChecksumNeverWritesOutsideTheFrame) {
    CMCComm mc;
    Bytes frame = hex("05 77");
    mc.AppendCheckSum(frame.data(), 2);
    EXPECT_EQ(frame, hex("05 00"));
    mc.AppendCheckSum(frame.data(), 0);  // nothing to write into
    EXPECT_EQ(frame, hex("05 00"));
}
