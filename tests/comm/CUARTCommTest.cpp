#include "tests/support/PtyPair.h"

#include "comm/CUARTComm.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"

#include <gtest/gtest.h>

using platform::PortTable;

TEST(CUARTCommTest, FailedOrSecondOpenSaysSoAndLeavesThePortAlone) {
    testsupport::PtyPair pty;
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped(prompt);
    PortTable::setExplicitEntry(3, pty.slavePath());
    PortTable::setExplicitEntry(16, "/nonexistent/ttyUSB9");
    platform::SerialSettings settings;
    settings.BaudRate = 38400;
    CUARTComm port;
    EXPECT_EQ(port.OpenComPort(16, settings), 0);
    EXPECT_EQ(port.m_hComm, platform::kInvalidPort);
    EXPECT_EQ(port.PreCountInQue(), 0u);  // the invalid handle counts as closed
    ASSERT_EQ(port.OpenComPort(3, settings), 1);  // a later open tries again
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    const platform::PortHandle handle = port.m_hComm;
    settings.BaudRate = 115200;
    EXPECT_EQ(port.OpenComPort(3, settings), 0);
    EXPECT_EQ(port.m_hComm, handle);
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    EXPECT_EQ(prompt.messageTexts(),
              (std::vector<std::string>{"無法開啟通訊埠COM 16 (/nonexistent/ttyUSB9)，是否有其它程式開啟? "
                                        "或指定的通訊埠不存在?",
                                        "通訊埠COM 3 (" + pty.slavePath() + ")已開啟?"}));
    unsigned char byte = 0;
    EXPECT_EQ(port.URead(&byte, 1), 0);  // more than is waiting: fails in bounded time
    EXPECT_EQ(port.CloseComPort(), 1);
    EXPECT_EQ(port.CloseComPort(), 0);
    PortTable::setExplicitEntry(3, "");
    PortTable::setExplicitEntry(16, "");
}
