#pragma once
// A protocol object whose port is the slave side of a pseudo-terminal, with
// a scripted device answering on the master side.

#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedResponder.h"

#include "platform/SerialPort.h"

#include <string>

namespace testsupport {

template <class Protocol>
struct ProtocolOnPty {
    ProtocolOnPty() { link.m_hComm = platform::serialOpen(pty.slavePath()).handle; }
    ~ProtocolOnPty() { platform::serialClose(link.m_hComm); }
    bool ok() const { return pty.ok() && platform::isOpenHandle(link.m_hComm); }

    PtyPair pty;
    ScriptedResponder device{pty.masterFd()};
    Protocol link;
};

}  // namespace testsupport
