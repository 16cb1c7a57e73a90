#pragma once
// Test fixture: a CModbus master on a pseudo-terminal (as COM 1), a scripted
// device on the other end, and prompts answered by a script.

#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "comm/CModbus.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"

#include <gtest/gtest.h>

namespace testsupport {

class ModbusOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PortTable::setExplicitEntry(1, pty.slavePath());
        platform::SerialSettings settings;
        ASSERT_EQ(master.OpenComPort(1, settings), 1);
        master.SetPreCountQueTimes(2000);  // about 20 ms unless a test wants more
    }
    void TearDown() override {
        master.CloseComPort();
        platform::PortTable::setExplicitEntry(1, "");
    }
    // Waits (bounded) until `n` bytes wait on the master's side of the line.
    bool queuedAtLeast(unsigned long n) {
        for (int i = 0; i < 1000 && master.PreCountInQue() < n; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        return master.PreCountInQue() >= n;
    }
    std::vector<std::string> monitorLines() {
        std::vector<std::string> lines;
        for (std::string line; master.MonitorGetPacket(line);) lines.push_back(line);
        return lines;
    }

    PtyPair pty;
    ScriptedResponder device{pty.masterFd()};
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt prompts{prompt};
    CModbus master;
};

}  // namespace testsupport
