#include "link/LinkPort.h"

#include "link/LinkState.h"
#include "platform/PortTable.h"
#include "platform/Ticks.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A read is issued only once the bytes are queued; this bounds it anyway.
constexpr int kQueuedReadTimeoutMs = 100;
// While part of a reply is queued, sleeps between queries follow the wire
// time of what is missing, within these bounds: short against a byte's time,
// long enough not to spin a core.
constexpr auto kShortestPartialSleep = std::chrono::microseconds(50);
constexpr auto kLongestPartialSleep = std::chrono::microseconds(1000);

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
    // a 34-byte answer takes 18 ms, nearly all of a bare 20 ms window. And it
    // reaches at least kReplyStartWindowUs past the request, so a drive's
    // answer time plus a USB adapter's batch fits when the caller waits
    // nothing; a caller who waited longer (the station scan) loses no time.
    const Clock::time_point requestEnd{std::chrono::microseconds(link.requestEndUs.load())};
    const Clock::time_point start = Clock::now();
    Clock::time_point deadline =
        std::max(start + std::chrono::microseconds(kReceiveWindowUs),
                 requestEnd + std::chrono::microseconds(kReplyStartWindowUs)) +
        std::chrono::microseconds(platform::serialWireTimeUs(handle, count));
    uint32_t seen = 0;
    for (;;) {
        uint32_t queued = 0;
        if (!platform::serialQueuedInput(handle, queued)) {
            link.lastFailure = LinkFailure::PortError;
            return 0;
        }
        link.exchangeQueuedInput = queued;
        if (queued == count)
            break;
        if (queued > seen && queued < count) {
            // The reply is coming: the rest follows on the wire, and an
            // adapter may hold the last bytes for one more batch.
            seen = queued;
            const long restUs = platform::serialWireTimeUs(handle, count - queued) + kAdapterBatchUs;
            deadline = std::max(deadline, Clock::now() + std::chrono::microseconds(restUs));
        }
        const long left = remainingUs(deadline);
        if (left == 0) {
            // Too many bytes also ends here: the count never settles on exact.
            link.lastFailure = queued == 0 ? LinkFailure::NoReply : LinkFailure::WrongLength;
            return 0;
        }
        const auto leftTime = std::chrono::microseconds(left);
        if (queued == 0) {
            // Wakes at the first byte. A hung-up line returns at once: nap
            // instead of spinning.
            const Clock::time_point before = Clock::now();
            if (!platform::serialWaitReadable(handle, static_cast<int>(left)) &&
                Clock::now() - before < kLongestPartialSleep)
                std::this_thread::sleep_for(std::min(kLongestPartialSleep, leftTime));
        } else {
            const auto missing = std::chrono::microseconds(
                queued < count ? platform::serialWireTimeUs(handle, count - queued) : 0);
            std::this_thread::sleep_for(
                std::min({std::max(missing, kShortestPartialSleep), kLongestPartialSleep, leftTime}));
        }
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
    if (!(platform::serialSend(handle, frame + length - 1, 1) && platform::serialDrain(handle)))
        return false;
    // The reply window of the next receive reaches from here.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    linkState().requestEndUs = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    return true;
}
