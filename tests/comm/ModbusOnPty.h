#pragma once
// A CModbus master on one end of a pseudo-terminal and a scripted device on
// the other, with the prompt seam answered by a script. COM 1 is mapped to
// the pty for the life of the object.

#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "comm/CModbus.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"
#include "platform/SerialPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace testsupport {

struct ModbusOnPty {
    ModbusOnPty() : device(pty.masterFd()), prompts(prompt) {
        platform::PortTable::setExplicitEntry(1, pty.slavePath());
        platform::SerialSettings settings;
        opened = master.OpenComPort(1, settings) == 1;
        // Short budget (about 20 ms) unless a test wants the default.
        master.SetPreCountQueTimes(2000);
    }
    ~ModbusOnPty() {
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
        std::string line;
        while (master.MonitorGetPacket(line)) lines.push_back(line);
        return lines;
    }

    PtyPair pty;
    ScriptedResponder device;
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt prompts;
    CModbus master;
    bool opened = false;
};

}  // namespace testsupport
