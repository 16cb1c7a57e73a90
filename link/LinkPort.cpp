#include "link/LinkPort.h"

#include "link/LinkState.h"
#include "platform/PortTable.h"
#include "platform/Ticks.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Status queries the wait may make; with a share of time per query it
// lasts about kReceiveWindowUs.
constexpr int kReceiveQueries = 2000;
// Sleep between queries while part of a reply is queued: short against a
// byte's wire time, long enough not to spin a core.
constexpr auto kPartialReplySlice = std::chrono::microseconds(50);
// A read is issued only once the bytes are queued; this bounds it anyway.
constexpr int kQueuedReadTimeoutMs = 100;

long remainingUs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<long>(left) : 0;
}

}  // namespace

uint32_t BaudRateOfIndex(int baudIndex)
{
    static const uint32_t kRates[kBaudIndexCount] = {19200, 38400, 57600, 115200};
    if (baudIndex < 0 || baudIndex >= kBaudIndexCount)
        return 0;
    return kRates[baudIndex];
}

platform::PortHandle OpenLinkPort(int port, int baudIndex, platform::SerialError* why)
{
    auto fail = [why](platform::SerialError error) {
        if (why)
            *why = error;
        return platform::kNoPort;
    };
    if (port < platform::PortTable::kFirstCom || port > platform::PortTable::kLastCom)
        return fail(platform::SerialError::NotFound);
    const std::string path = platform::PortTable::devicePath(port);
    if (path.empty())
        return fail(platform::SerialError::NotFound);
    const platform::SerialOpenResult opened = platform::serialOpen(path);
    if (!platform::isOpenHandle(opened.handle))
        return fail(opened.error);

    platform::SerialSettings settings;
    if (!platform::serialGetSettings(opened.handle, settings)) {
        platform::serialClose(opened.handle);
        return fail(platform::SerialError::Io);
    }
    // Another index keeps the speed the port has, even one outside the
    // rates the platform can name.
    const uint32_t rate = BaudRateOfIndex(baudIndex);
    settings.BaudRate = rate != 0 ? rate : platform::kKeepBaudRate;
    settings.ByteSize = 8;
    settings.Parity = platform::ParityNone;
    settings.StopBits = platform::OneStopBit;
    if (!platform::serialSetSettings(opened.handle, settings)) {
        platform::serialClose(opened.handle);
        return fail(platform::SerialError::Other);
    }
    if (why)
        *why = platform::SerialError::None;
    return opened.handle;
}

void CloseLinkPort(platform::PortHandle handle)
{
    if (platform::isOpenHandle(handle))
        platform::serialClose(handle);
}

int LinkReceive(platform::PortHandle handle, size_t count)
{
    LinkState& link = linkState();
    if (count > kReceiveBufferSize) {
        link.lastFailure = LinkFailure::BadRequest;
        return 0;
    }
    // The window also covers the reply's own time on the wire: at 19200 baud
    // a 34-byte answer takes 18 ms, nearly all of a bare 20 ms window.
    const long wireUs = platform::serialWireTimeUs(handle, count);
    const Clock::time_point deadline = Clock::now() + std::chrono::microseconds(kReceiveWindowUs + wireUs);
    for (int query = 1;; ++query) {
        uint32_t queued = 0;
        if (!platform::serialQueuedInput(handle, queued)) {
            link.lastFailure = LinkFailure::PortError;
            return 0;
        }
        link.exchangeQueuedInput = queued;
        if (queued == count)
            break;
        const long left = remainingUs(deadline);
        if (query >= kReceiveQueries || left == 0) {
            // Too many bytes also ends here: the count never settles on exact.
            link.lastFailure = queued == 0 ? LinkFailure::NoReply : LinkFailure::WrongLength;
            return 0;
        }
        if (queued == 0)
            platform::serialWaitReadable(handle, static_cast<int>(left));  // wakes at the first byte
        else
            std::this_thread::sleep_for(kPartialReplySlice);
    }
    std::memset(link.receiveBuffer, 0, sizeof link.receiveBuffer);
    const bool read = platform::serialRead(handle, link.receiveBuffer, count, kQueuedReadTimeoutMs);
    platform::yieldThread();
    if (!read) {
        link.lastFailure = LinkFailure::PortError;
        return 0;
    }
    return 1;
}

bool LinkSendRequest(platform::PortHandle handle, const uint8_t* frame, size_t length)
{
    if (length == 0)
        return true;
    // All but the last byte in one write, drained so that the purge below
    // cannot cut them short; only the receive queue is purged, since purging
    // the transmit queue of a pseudo-terminal drops bytes the far end has not
    // read yet. Stale input (stream bytes) is thus dropped right up to the
    // last byte, and the request has at most one gap on the line.
    if (length > 1 &&
        !(platform::serialSend(handle, frame, length - 1) && platform::serialDrain(handle)))
        return false;
    platform::serialPurge(handle, platform::PurgeRx);
    return platform::serialSend(handle, frame + length - 1, 1) && platform::serialDrain(handle);
}
