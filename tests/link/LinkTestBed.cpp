#include "LinkTestBed.h"

#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "platform/PortTable.h"

#include <algorithm>
#include <cstdlib>
#include <new>

Bytes SlaveIdAnswer(const std::string& code, size_t length, size_t offset)
{
    Bytes frame(length - 2, 0);
    frame[0] = 0x01;
    frame[1] = 0x11;
    frame[2] = static_cast<uint8_t>(length - 5);
    std::copy(code.begin(), code.end(), frame.begin() + offset);
    return withCrc(frame);
}

Bytes ReceiveBuffer(size_t length)
{
    return Bytes(linkState().receiveBuffer, linkState().receiveBuffer + length);
}

void ResetLinkState()
{
    ReleaseLinkPort();
    // The state holds atomics, so it is rebuilt in place rather than assigned.
    LinkState& link = linkState();
    link.~LinkState();
    new (&link) LinkState();
}

void MapOnlyPort(int com, const std::string& path)
{
    platform::PortTable::clear();
    // An empty folder: the machine's own serial devices take no COM number.
    static const std::string emptyDirectory = [] {
        char pattern[] = "/tmp/drivara-nodev-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/nonexistent-drivara-dev");
    }();
    platform::PortTable::setDeviceDirectory(emptyDirectory);
    platform::PortTable::setExplicitEntry(com, path);
}

void LinkTestBed::SetUp()
{
    ASSERT_TRUE(pty.ok());
    ResetLinkState();
    MapOnlyPort(1, pty.slavePath());
    drive = std::make_unique<testsupport::ScriptedResponder>(pty.masterFd());
}

void LinkTestBed::TearDown()
{
    drive.reset();
    ResetLinkState();
}

void LinkTestBed::openPort(int baudIndex)
{
    linkState().portHandle = OpenLinkPort(1, baudIndex);
    ASSERT_TRUE(platform::isOpenHandle(linkState().portHandle));
}
