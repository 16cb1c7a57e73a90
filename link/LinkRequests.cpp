#include "link/LinkRequests.h"

#include "link/LinkFrames.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"
#include "platform/SerialExchangeLock.h"
#include "platform/Ticks.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr int kWriteRegisterAttempts = 17;
constexpr int kPolledCrcFailureLimit = 16;
constexpr int kPolledNoAnswerLimit = 8;
constexpr int kQuickReadAttempts = 4;
constexpr int kSlaveIdAttempts = 17;
constexpr unsigned kCoilReplyWaitMs = 80;
constexpr unsigned kQuickReadWaitMs = 2;
constexpr unsigned kSlaveIdWaitMs = 10;
constexpr uint16_t kStreamingWaitMs = 100;
// A polled write reads as soon as one byte is queued; the rest of an 8-byte
// reply is on its way, so this bounds the read, not the answer time.
constexpr int kPolledReadTimeoutMs = 40;

template <size_t N>
bool send(const std::array<uint8_t, N>& frame)
{
    LinkState& link = linkState();
    if (!platform::isOpenHandle(link.portHandle)) {
        link.lastFailure = LinkFailure::NoPort;
        return false;
    }
    if (!LinkSendRequest(link.portHandle, frame.data(), frame.size())) {
        link.lastFailure = LinkFailure::PortError;
        return false;
    }
    return true;
}

void clearReceiveBuffer()
{
    std::memset(linkState().receiveBuffer, 0, kReceiveBufferSize);
}

// The write-register loop shared by the plain and the direct variant. The
// plain one clears the buffer after its wait; the direct one clears it
// before sending, so a reply the stream reader copies there during the wait
// counts, but a stale one from an earlier exchange does not.
int writeRegister(const RequestFrame8& frame, uint16_t waitMs, bool direct)
{
    LinkState& link = linkState();
    for (int attempt = 0; attempt < kWriteRegisterAttempts; ++attempt) {
        const platform::SerialExchangeLock oneAtATime;  // the plug-in shares the line
        if (direct)
            clearReceiveBuffer();
        if (!send(frame))
            return 0;  // no port: another attempt cannot help
        platform::sleepMs(waitMs);
        if (!direct)
            clearReceiveBuffer();
        // Its result is not needed: a failed receive leaves bytes whose CRC
        // does not match (zeros), unless the stream reader placed the reply.
        LinkReceive(link.portHandle, kWriteReplyLength);
        if (LinkCrcMatches(link.receiveBuffer, kWriteReplyLength - 2)) {
            link.lastFailure = LinkFailure::None;
            return 1;
        }
        if (link.lastFailure == LinkFailure::None)
            link.lastFailure = LinkFailure::BadCrc;
    }
    return 0;
}

// Sleeps until `length` bytes are queued or `waitMs` has passed, whichever
// comes first. A failing status query ends the wait; the receive reports it.
void waitForQueuedReply(size_t length, unsigned waitMs)
{
    using Clock = std::chrono::steady_clock;
    const platform::PortHandle handle = linkState().portHandle;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        uint32_t queued = 0;
        if (!platform::serialQueuedInput(handle, queued) || queued >= length)
            return;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return;
        if (queued == 0)
            platform::serialWaitReadable(handle, static_cast<int>(left));  // wakes at the first byte
        else
            std::this_thread::sleep_for(std::chrono::microseconds(std::min<long long>(left, 200)));
    }
}

// One read attempt: send, wait, receive the exact length, keep a copy. With
// `untilComplete` the wait ends as soon as the whole reply is queued.
bool readAttempt(const RequestFrame8& frame, unsigned waitMs, size_t replyLength, bool untilComplete = false)
{
    LinkState& link = linkState();
    const platform::SerialExchangeLock oneAtATime;  // the plug-in shares the line
    link.lastFailure = LinkFailure::None;
    if (!send(frame))
        return false;
    if (untilComplete)
        waitForQueuedReply(replyLength, waitMs);
    else
        platform::sleepMs(waitMs);
    clearReceiveBuffer();
    LinkReceive(link.portHandle, replyLength);
    std::memcpy(link.lastReadReply, link.receiveBuffer, replyLength);
    link.lastReadReplyLength = replyLength;
    if (LinkCrcMatches(link.receiveBuffer, replyLength - 2))
        return true;
    if (link.lastFailure == LinkFailure::None)
        link.lastFailure = LinkFailure::BadCrc;
    return false;
}

// Identification answers of one length on successive attempts. One with a
// good CRC is taken at once. Not every drive ends its long answer with that
// CRC, so one without it is taken when the next attempt brings the same
// bytes: the repetition stands in for the check. Anything else in between
// (no answer, another length, bytes of no answer of this station) starts
// over.
class RepeatedAnswer {
public:
    explicit RepeatedAnswer(size_t length) : length_(length) {}
    size_t length() const { return length_; }
    // True when the bytes repeat the last ones; otherwise they are kept.
    bool repeats(const uint8_t* bytes)
    {
        if (pending_ && std::equal(bytes, bytes + length_, last_))
            return true;
        std::memcpy(last_, bytes, length_);
        pending_ = true;
        return false;
    }
    void forget() { pending_ = false; }
    bool pending() const { return pending_; }

private:
    size_t length_;
    bool pending_ = false;
    uint8_t last_[kSlaveIdLongReplyLength] = {};
};

// Without a CRC the bytes must at least begin as an answer of this station
// does: the exact count is also met for a while by stale bytes followed by
// the start of an answer, and a paced line can show that same moment on
// every attempt.
bool answerOfStation(uint8_t slave)
{
    const LinkState& link = linkState();
    return link.receiveBuffer[0] == slave && link.receiveBuffer[1] == kFunctionReportSlaveId;
}

// One identification exchange awaiting `answer`'s length: 1 taken, 0 not
// (yet), -1 no port to send on.
int askSlaveId(uint8_t slave, const RequestFrame4& frame, RepeatedAnswer& answer)
{
    LinkState& link = linkState();
    if (!send(frame))
        return -1;
    platform::sleepMs(kSlaveIdWaitMs);
    // A failed receive leaves the buffer as it was; an earlier answer there
    // must not pass for this one.
    clearReceiveBuffer();
    if (!LinkReceive(link.portHandle, answer.length())) {
        answer.forget();
        return 0;
    }
    if (LinkCrcMatches(link.receiveBuffer, answer.length() - 2))
        return 1;
    link.lastFailure = LinkFailure::BadCrc;
    if (!answerOfStation(slave)) {
        answer.forget();
        return 0;
    }
    return answer.repeats(link.receiveBuffer) ? 1 : 0;
}

bool refuseRequest()
{
    linkState().lastFailure = LinkFailure::BadRequest;
    return false;
}

}  // namespace

int LinkWriteCoil(uint8_t slave, uint8_t coilHigh, uint8_t coilLow, uint8_t valueHigh)
{
    LinkState& link = linkState();
    const RequestFrame8 frame = BuildWriteCoilFrame(slave, coilHigh, coilLow, valueHigh);
    const platform::SerialExchangeLock oneAtATime;  // the plug-in shares the line
    link.lastFailure = LinkFailure::None;
    if (!send(frame))
        return 0;
    platform::sleepMs(kCoilReplyWaitMs);
    if (!LinkReceive(link.portHandle, frame.size()))
        return 0;
    if (!std::equal(frame.begin(), frame.end(), link.receiveBuffer)) {
        link.lastFailure = LinkFailure::EchoMismatch;
        return 0;
    }
    return 1;
}

int LinkWriteRegister(uint8_t slave, uint8_t regHigh, uint8_t regLow, uint8_t valueHigh,
                      uint8_t valueLow, uint16_t waitMs)
{
    linkState().lastFailure = LinkFailure::None;
    const uint16_t wait = linkState().streamingActive() ? kStreamingWaitMs : waitMs;
    return writeRegister(BuildWriteRegisterFrame(slave, regHigh, regLow, valueHigh, valueLow), wait, false);
}

int LinkWriteRegisterDirect(uint8_t slave, uint8_t regHigh, uint8_t regLow, uint8_t valueHigh,
                            uint8_t valueLow, uint16_t waitMs)
{
    linkState().lastFailure = LinkFailure::None;
    return writeRegister(BuildWriteRegisterFrame(slave, regHigh, regLow, valueHigh, valueLow), waitMs, true);
}

int LinkWriteRegisterPolled(uint8_t slave, uint8_t regHigh, uint8_t regLow, uint8_t valueHigh,
                            uint8_t valueLow, uint16_t waitMs)
{
    LinkState& link = linkState();
    const RequestFrame8 frame = BuildWriteRegisterFrame(slave, regHigh, regLow, valueHigh, valueLow);
    for (int counter = 0;; ++counter) {
        const platform::SerialExchangeLock oneAtATime;  // the plug-in shares the line
        link.lastFailure = LinkFailure::None;
        if (!send(frame))
            return 0;
        platform::sleepMs(waitMs);
        uint32_t queued = 0;
        const bool queried = platform::serialQueuedInput(link.portHandle, queued);
        if (queried)
            link.polledQueuedInput = queued;
        if (queried && queued > 0 &&
            platform::serialRead(link.portHandle, link.receiveBuffer, kWriteReplyLength, kPolledReadTimeoutMs)) {
            if (LinkCrcMatches(link.receiveBuffer, kWriteReplyLength - 2))
                return 1;
            link.lastFailure = LinkFailure::BadCrc;
            if (counter >= kPolledCrcFailureLimit)
                return 0;
        } else {
            link.lastFailure = queried ? LinkFailure::NoReply : LinkFailure::PortError;
            if (counter >= kPolledNoAnswerLimit)
                return 0;
        }
    }
}

int LinkReadRegistersQuick(uint8_t slave, uint8_t startHigh, uint8_t startLow, uint8_t countHigh,
                           uint8_t countLow)
{
    const size_t replyLength = ExpectedReadReplyLength(countLow);
    if (replyLength == 0)
        return refuseRequest();
    const RequestFrame8 frame = BuildReadRegistersFrame(slave, startHigh, startLow, countHigh, countLow);
    for (int attempt = 0; attempt < kQuickReadAttempts; ++attempt) {
        if (readAttempt(frame, kQuickReadWaitMs, replyLength))
            return 1;
        if (linkState().lastFailure == LinkFailure::NoPort)
            return 0;
    }
    return 0;
}

namespace {

int readRegisters(uint8_t slave, uint8_t startHigh, uint8_t startLow, uint8_t countHigh, uint8_t countLow,
                  uint16_t waitMs, int retries, bool untilComplete)
{
    const size_t replyLength = ExpectedReadReplyLength(countLow);
    if (replyLength == 0)
        return refuseRequest();
    LinkState& link = linkState();
    const RequestFrame8 frame = BuildReadRegistersFrame(slave, startHigh, startLow, countHigh, countLow);
    for (int repeats = 0;; ++repeats) {
        if (readAttempt(frame, waitMs, replyLength, untilComplete))
            return 1;
        if (link.lastFailure == LinkFailure::NoPort || repeats >= retries)
            return 0;
        if (link.scanRunning.load() != 1) {
            // The drive may still be streaming and burying the reply: stop it.
            const LinkFailure readFailure = link.lastFailure;
            LinkWriteRegister(slave, 0x00, kChannelSelectRegister, 0x00, 0x00, 0);
            link.lastFailure = readFailure;
        }
    }
}

}  // namespace

int LinkReadRegisters(uint8_t slave, uint8_t startHigh, uint8_t startLow, uint8_t countHigh,
                      uint8_t countLow, uint16_t waitMs, int retries)
{
    return readRegisters(slave, startHigh, startLow, countHigh, countLow, waitMs, retries, false);
}

int LinkReadRegistersUpTo(uint8_t slave, uint8_t startHigh, uint8_t startLow, uint8_t countHigh,
                          uint8_t countLow, uint16_t maxWaitMs, int retries)
{
    // Stream bytes could make up the count while the scope runs: wait in full then.
    const bool untilComplete = !linkState().streamingActive();
    return readRegisters(slave, startHigh, startLow, countHigh, countLow, maxWaitMs, retries, untilComplete);
}

int LinkReportSlaveId(uint8_t slave)
{
    LinkState& link = linkState();
    const RequestFrame4 frame = BuildReportSlaveIdFrame(slave);
    ScopePause();
    RepeatedAnswer longAnswer(kSlaveIdLongReplyLength);
    RepeatedAnswer shortAnswer(kSlaveIdShortReplyLength);
    int result = 0;
    for (int attempt = 0; attempt < kSlaveIdAttempts && result == 0; ++attempt) {
        const platform::SerialExchangeLock oneAtATime;  // the plug-in shares the line
        link.lastFailure = LinkFailure::None;
        const int longTry = askSlaveId(slave, frame, longAnswer);
        if (longTry < 0)
            break;
        if (longTry == 1) {
            result = 1;
            break;
        }
        // A whole long answer that is not yet trusted: ask for it again.
        if (longAnswer.pending())
            continue;
        const int shortTry = askSlaveId(slave, frame, shortAnswer);
        if (shortTry < 0)
            break;
        result = shortTry;
    }
    if (result)
        link.lastFailure = LinkFailure::None;
    ScopeResume();
    return result;
}
