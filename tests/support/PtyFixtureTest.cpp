#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "platform/SerialPort.h"

#include <gtest/gtest.h>

using namespace testsupport;
using Clock = std::chrono::steady_clock;

// The timing tests rest on this: a paced answer takes its bit times, a
// withheld one never comes.
TEST(ScriptedResponder, PacesAnswersAndWithholdsThem) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ScriptedResponder device(pty.masterFd());
    const platform::PortHandle port = platform::serialOpen(pty.slavePath()).handle;
    Bytes reply(20);
    // 20 bytes at 19200 baud take about 10 ms after a 5 ms latency.
    device.expect(hex("01"), Answer(Bytes(20, 0x55)).after(5).paced(19200));
    const auto start = Clock::now();
    ASSERT_TRUE(platform::serialWrite(port, hex("01").data(), 1));
    EXPECT_TRUE(platform::serialRead(port, reply.data(), 20, 1000));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(14));
    EXPECT_LT(took, std::chrono::milliseconds(500));
    EXPECT_EQ(reply, Bytes(20, 0x55));

    device.expect(hex("03"), Answer::none());
    ASSERT_TRUE(platform::serialWrite(port, hex("03").data(), 1));
    EXPECT_TRUE(device.waitAnswered(2));
    EXPECT_FALSE(platform::serialRead(port, reply.data(), 1, 30));
    platform::serialClose(port);
}
