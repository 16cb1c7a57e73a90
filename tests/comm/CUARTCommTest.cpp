#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "comm/CUARTComm.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"
#include "platform/SerialPort.h"

#include <gtest/gtest.h>

#include <thread>

using namespace testsupport;
using platform::PortTable;

namespace {

class CUARTCommTest : public ::testing::Test {
protected:
    CUARTCommTest() : device(pty.masterFd()), scoped(prompt) {
        PortTable::setExplicitEntry(3, pty.slavePath());
        settings.BaudRate = 38400;
    }
    ~CUARTCommTest() override {
        port.CloseComPort();
        PortTable::setExplicitEntry(3, "");
        PortTable::setExplicitEntry(16, "");
    }
    // Waits (bounded) until `n` bytes are queued on `comm`.
    static uint32_t queued(CUARTComm& comm, uint32_t n) {
        for (int i = 0; i < 500 && comm.PreCountInQue() < n; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        return comm.PreCountInQue();
    }

    PtyPair pty;
    ScriptedResponder device;
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped;
    platform::SerialSettings settings;
    CUARTComm port;
};

}  // namespace

TEST_F(CUARTCommTest, OpensThroughThePortTableAndAppliesTheLineSettings) {
    EXPECT_EQ(port.m_hComm, platform::kNoPort);
    EXPECT_EQ(port.OpenComPort(3, settings), 1);
    EXPECT_TRUE(platform::isOpenHandle(port.m_hComm));
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    EXPECT_TRUE(prompt.shown().empty());
    EXPECT_EQ(CUARTComm(port).m_hComm, port.m_hComm);  // a copy shares the port and leaves it open

    unsigned char request[] = {0x01, 0x02, 0x03}, reply[2] = {};
    device.expect(hex("01 02 03"), Answer(hex("0A 0B")));
    EXPECT_NE(port.UWrite(request, sizeof request), 0);
    ASSERT_TRUE(device.waitAnswered(1));
    ASSERT_EQ(queued(port, 2), 2u);
    EXPECT_NE(port.URead(reply, 2), 0);
    EXPECT_EQ(reply[1], 0x0B);
    EXPECT_EQ(port.URead(reply, 1), 0);  // more than is waiting: fails in bounded time

    EXPECT_EQ(port.CloseComPort(), 1);
    EXPECT_EQ(port.m_hComm, platform::kNoPort);
    EXPECT_EQ(port.PreCountInQue(), 0u);
    EXPECT_EQ(port.CloseComPort(), 0);
}

TEST_F(CUARTCommTest, BytesWaitingBeforeTheOpenAreDiscarded) {
    device.send(Answer(hex("DE AD BE EF")));
    ASSERT_TRUE(device.waitIdle());
    // Prove they reached the port before it was opened.
    CUARTComm peek;
    peek.m_hComm = platform::serialOpen(pty.slavePath()).handle;
    ASSERT_EQ(queued(peek, 4), 4u);
    platform::serialClose(peek.m_hComm);
    peek.m_hComm = platform::kNoPort;

    EXPECT_EQ(port.OpenComPort(3, settings), 1);
    EXPECT_EQ(port.m_ComStat.cbInQue, 4u);
    EXPECT_EQ(port.PreCountInQue(), 0u);
}

TEST_F(CUARTCommTest, FailedOrSecondOpenSaysSoAndLeavesThePortAlone) {
    PortTable::setExplicitEntry(16, "/nonexistent/ttyUSB9");
    EXPECT_EQ(port.OpenComPort(16, settings), 0);
    EXPECT_EQ(port.m_hComm, platform::kInvalidPort);
    EXPECT_EQ(port.PreCountInQue(), 0u);  // the invalid handle counts as closed
    ASSERT_EQ(port.OpenComPort(3, settings), 1);  // a later open tries again
    const platform::PortHandle handle = port.m_hComm;
    settings.BaudRate = 115200;
    EXPECT_EQ(port.OpenComPort(3, settings), 0);
    EXPECT_EQ(port.m_hComm, handle);
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    EXPECT_EQ(prompt.messageTexts(),
              (std::vector<std::string>{"無法開啟通訊埠COM 16 (/nonexistent/ttyUSB9)，是否有其它程式開啟? "
                                        "或指定的通訊埠不存在?",
                                        "通訊埠COM 3 (" + pty.slavePath() + ")已開啟?"}));
}
