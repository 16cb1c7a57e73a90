// The serial port object and the COM-number table over pseudo-terminals.
#include "tests/support/PtyPair.h"

#include "comm/CUARTComm.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <unistd.h>

using platform::PortTable;
using testsupport::PtyPair;

// A failed or second open says so and leaves the open port and its rate alone.
TEST(CUARTCommTest, FailedOrSecondOpenSaysSoAndLeavesThePortAlone) {
    PtyPair pty;
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

// A fake /dev: links named like serial devices pointing at ptys, plus names
// that must not count; explicit entries take their numbers first.
TEST(PortTableTest, ExplicitEntriesFirstThenDevicesInFamilyAndNumberOrder) {
    char pattern[] = "/tmp/porttable-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    auto path = [&](const std::string& name) { return dir + "/" + name; };
    PtyPair usb0, usb10, acm0;
    for (auto [pty, name] : {std::pair{&usb0, "ttyUSB0"}, {&usb10, "ttyUSB10"}, {&acm0, "ttyACM0"}, {&usb0, "ttyUSBx"}})
        ASSERT_EQ(symlink(pty->slavePath().c_str(), path(name).c_str()), 0);
    std::ofstream(path("ttyS0")) << "not a terminal";
    PortTable::clear();
    PortTable::setDeviceDirectory(dir);
    PortTable::setExplicitEntry(2, "/dev/custom");
    PortTable::setExplicitEntry(5, path("ttyACM0"));  // named explicitly: no second number

    const auto entries = PortTable::list();
    const std::vector<std::tuple<int, std::string, bool>> expected = {
        {1, path("ttyUSB0"), false}, {2, "/dev/custom", true},
        {3, path("ttyUSB10"), false}, {5, path("ttyACM0"), true}};
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(std::tie(entries[i].com, entries[i].devicePath, entries[i].explicitEntry), expected[i]) << i;
    EXPECT_EQ(PortTable::displayName(3), "COM 3 (" + path("ttyUSB10") + ")");
    EXPECT_EQ(PortTable::devicePath(9), "");
    PortTable::clear();
    PortTable::setDeviceDirectory("/dev");
    std::filesystem::remove_all(dir);
}
