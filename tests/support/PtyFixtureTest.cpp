#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "platform/SerialPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

// The pty with a scripted device on its master side and the slave side
// opened as a serial port, as the code under test would.
class ScriptedResponderTest : public ::testing::Test {
protected:
    ScriptedResponderTest() : device(pty.masterFd()), port(platform::serialOpen(pty.slavePath()).handle) {}
    ~ScriptedResponderTest() override { platform::serialClose(port); }
    bool send(const Bytes& b) { return platform::serialWrite(port, b.data(), b.size()); }
    // Exactly n bytes within the time limit, or nothing.
    Bytes receive(size_t n, int timeoutMs = 1000) {
        Bytes b(n);
        if (!platform::serialRead(port, b.data(), n, timeoutMs)) b.clear();
        return b;
    }

    PtyPair pty;
    ScriptedResponder device;
    platform::PortHandle port;
};

}  // namespace

TEST(HexBytes, ParsesFormatsAndRejectsTypos) {
    EXPECT_EQ(hex("01 03 02 00 05"), (Bytes{1, 3, 2, 0, 5}));
    EXPECT_EQ(hex("0a0B"), (Bytes{0x0A, 0x0B}));
    EXPECT_EQ(toHex({0x01, 0xAB}), "01 AB");
    EXPECT_THROW(hex("01 3"), std::invalid_argument);
    EXPECT_THROW(hex("0G"), std::invalid_argument);
    // The worked example of a read of one register from slave 1.
    EXPECT_EQ(withCrc(hex("01 03 00 00 00 01")), hex("01 03 00 00 00 01 84 0A"));
}

TEST_F(ScriptedResponderTest, AnswersInOrderCountsStraysAndFramesByHandler) {
    ASSERT_TRUE(pty.ok());
    device.expect(hex("01 02"), Answer(hex("AA")));
    device.expect(hex("03 04"), Answer(hex("BB CC")));
    ASSERT_TRUE(send(hex("FF 01 02")));
    EXPECT_EQ(receive(1), hex("AA"));
    ASSERT_TRUE(send(hex("03 04")));
    EXPECT_EQ(receive(2), hex("BB CC"));
    EXPECT_TRUE(device.waitAnswered(2));
    EXPECT_EQ(device.unexpectedBytes(), 1u);
    EXPECT_EQ(device.received(), hex("FF 01 02 03 04"));

    device.setHandler([](Bytes& pending) -> std::optional<Answer> {
        size_t n = ScriptedResponder::modbusRequestLength(pending);
        if (n == 0 || pending.size() < n) return std::nullopt;
        const uint8_t function = pending[1];
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(n));
        return Answer(Bytes{function});
    });
    ASSERT_TRUE(send(withCrc(hex("01 10 00 00 00 01 02 12 34"))));
    ASSERT_TRUE(send(withCrc(hex("01 11"))));
    EXPECT_EQ(receive(2), hex("10 11"));
    ASSERT_EQ(device.requests().size(), 4u);
    EXPECT_EQ(device.requests()[3], withCrc(hex("01 11")));
}

TEST_F(ScriptedResponderTest, PacesDelaysSplitsCorruptsPadsAndWithholds) {
    ASSERT_TRUE(pty.ok());
    // 20 bytes at 19200 baud take about 10 ms after a 5 ms latency.
    device.expect(hex("01"), Answer(Bytes(20, 0x55)).after(5).paced(19200));
    auto start = Clock::now();
    ASSERT_TRUE(send(hex("01")));
    EXPECT_EQ(receive(20).size(), 20u);
    auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(14));
    EXPECT_LT(took, std::chrono::milliseconds(500));

    device.expect(hex("02"), Answer(hex("10 20 30 40")).split({1}, 30).corrupt(0).pad(hex("99")));
    ASSERT_TRUE(send(hex("02")));
    EXPECT_EQ(receive(1), hex("EF"));
    uint32_t queued = 9;
    platform::serialQueuedInput(port, queued);
    EXPECT_EQ(queued, 0u);  // the rest is held back by the gap
    EXPECT_EQ(receive(4), hex("20 30 40 99"));

    device.expect(hex("03"), Answer::none());
    ASSERT_TRUE(send(hex("03")));
    EXPECT_TRUE(device.waitAnswered(3));
    EXPECT_TRUE(receive(1, 30).empty());
}

TEST(ScriptedResponder, SendsUnaskedAndStopsPromptlyMidAnswer) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    auto start = Clock::now();
    {
        ScriptedResponder device(pty.masterFd());
        device.send(Answer(hex("01 02 03")));
        EXPECT_TRUE(device.waitIdle());
        device.send(Answer(Bytes(10, 0)).after(5000));
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(pty.slaveBaud(), 19200u);
    Bytes b(3);
    auto port = platform::serialOpen(pty.slavePath()).handle;
    EXPECT_TRUE(platform::serialRead(port, b.data(), 3, 1000));
    EXPECT_EQ(b, hex("01 02 03"));
    platform::serialClose(port);
}
