// The motion controller: its checksum frames, acknowledgement waits and
// position batches, against a scripted controller on a pseudo-terminal.
// Checksums of the expected frames were summed by hand.
#include "comm/CMCComm.h"

#include "ProtocolOnPty.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace testsupport;

namespace {

class MotionController : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        mc().SetReplyWaitTime(10);
        mc().SetAckPollTime(5);
        mc().SetRetryPauseTime(1);
    }
    CMCComm& mc() { return line.link; }

    ProtocolOnPty<CMCComm> line;
};

}  // namespace

// A parameter is read only from a whole reply; a short one leaves the value alone.
TEST_F(MotionController, ReadsAParameterOnlyFromAWholeReply) {
    line.device.expect(hex("05 00 03 01 02 06"), Answer(hex("05 00 03 00 01 E2 40 00")));
    int value = 0;
    ASSERT_EQ(mc().EM_ReadParm(2, value), 1);
    EXPECT_EQ(value, 123456);

    line.device.expect(hex("05 00 03 01 02 06"), Answer(hex("05 00 03 00 01")));  // cut short
    value = 7;
    EXPECT_EQ(mc().EM_ReadParm(2, value), 0);
    EXPECT_EQ(value, 7);
}

// A save counts only when acknowledged, a late acknowledgement included.
TEST_F(MotionController, SavesAParameterOnlyWhenAcknowledged) {
    const Bytes saveParm = hex("05 00 15 05 01 FF FF FF FE 16");  // channel 1 := -2
    for (const auto& [answer, result] : {std::pair{Answer(hex("06")), 1}, {Answer(hex("06")).after(25), 1},
                                         {Answer(hex("15")), 0}, {Answer::none(), 0}}) {
        line.device.expect(saveParm, answer);
        EXPECT_EQ(mc().EM_SaveParm(1, -2), result) << toHex(answer.bytes);
    }
    EXPECT_EQ(line.device.requests().size(), 4u);
}

// A batch split on the line is awaited whole and writes only its own positions.
TEST_F(MotionController, PositionBatchWaitsForTheWholeReplyAndFitsItsBuffer) {
    // Positions 3 and 4: 100 and -100, most significant byte first.
    line.device.expect(hex("05 00 05 02 03 02 0C"), Answer(hex("05 00 05 00 00 00 64 FF FF FF 9C 00 00")).split({5}, 5));
    std::vector<int> out{0, 0, 42};
    ASSERT_EQ(mc().ReadDIOPositionBatch(3, 2, out.data()), 1);
    EXPECT_EQ(out, (std::vector<int>{100, -100, 42}));

}

// The largest batch fills exactly 255 ints, and at 9600 baud (1.07 s on the
// line) the wait follows the reply's wire time, not a fixed 0.6 s.
TEST_F(MotionController, LargestPositionBatchWaitsForItsWireTimeOnASlowLine) {
    platform::SerialSettings slow;
    slow.BaudRate = 9600;
    ASSERT_TRUE(platform::serialSetSettings(mc().m_hComm, slow));
    Bytes whole = hex("05 00 05");
    for (int i = 0; i < 255; ++i) whole = whole + hex("FF FF FF") + Bytes{static_cast<uint8_t>(i)};
    line.device.expect(hex("05 00 05 02 00 FF 06"), Answer(whole + hex("00 00")).paced(9600).after(20));
    std::vector<int> out(255, 0);
    ASSERT_EQ(mc().ReadDIOPositionBatch(0, 255, out.data()), 1);
    EXPECT_EQ(out[0], -256);
    EXPECT_EQ(out[254], -2);
}

// Exchanges made against a silent controller: a ReadParm round is one
// exchange, a flag round up to max(1, RetryTimes), and ResetAllRegister
// writes every pair at least once even with RetryTimes 0.
TEST_F(MotionController, RetryCountsAgainstASilentController) {
    line.device.setHandler([](Bytes& pending) -> std::optional<Answer> {
        const size_t length = ScriptedResponder::modbusRequestLength(pending);
        if (length == 0 || pending.size() < length) return std::nullopt;
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(length));
        return Answer::none();
    });
    mc().SetPreCountQueTimes(500);  // 5 ms a silent exchange
    mc().SetBeepHandler([] {});
    int value = 0;
    unsigned char flags[CMCComm::kFlagBytes];
    const struct {
        const char* name;
        unsigned retryTimes;
        unsigned char rounds;
        std::function<int()> call;
        size_t exchanges;
    } cases[] = {
        {"ReadParm", 3, 1, [&] { return mc().ReadParm(6, value); }, 2},
        {"ReadDIOFlag", 3, 1, [&] { return mc().ReadDIOFlag(flags); }, 6},
        {"ResetAllRegister", 0, 0, [&] { return mc().ResetAllRegister(); }, 10},
    };
    size_t before = 0;
    for (const auto& c : cases) {
        mc().SetRetryTimes(c.retryTimes);
        mc().SetRetryRounds(c.rounds);
        EXPECT_EQ(c.call(), 0) << c.name;
        EXPECT_TRUE(line.device.waitAnswered(before + c.exchanges)) << c.name;
        EXPECT_EQ(line.device.requests().size() - before, c.exchanges) << c.name;
        before = line.device.requests().size();
    }
}

// The checksum byte is never written outside the frame.
TEST(MotionControllerFrame, ChecksumNeverWritesOutsideTheFrame) {
    CMCComm mc;
    Bytes frame = hex("05 77");
    mc.AppendCheckSum(frame.data(), 2);
    EXPECT_EQ(frame, hex("05 00"));
    mc.AppendCheckSum(frame.data(), 0);  // nothing to write into
    EXPECT_EQ(frame, hex("05 00"));
}
