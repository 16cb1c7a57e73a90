// The link's exchanges against a scripted drive on a pseudo-terminal: the
// bytes on the wire and the outcome rules of every operation.
#include "LinkTestBed.h"

#include "link/DriveIdentification.h"
#include "link/LinkFrames.h"
#include "link/LinkPort.h"
#include "link/LinkRequests.h"

#include <fcntl.h>
#include <functional>
#include <optional>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

const Bytes kWritePr10 = hex("01 06 00 10 00 64 89 E4");
const Bytes kServoOn = hex("01 05 00 26 FF 00 6D F1");

template <typename Frame>
std::string frameHex(const Frame& frame)
{
    return toHex(Bytes(frame.begin(), frame.end()));
}

// The link with COM 1 open at 19200 baud.
class OpenLink : public LinkTestBed {
protected:
    void SetUp() override
    {
        LinkTestBed::SetUp();
        openPort();
    }
};

}  // namespace

// Frames against bytes worked out independently; a cleared buffer never passes the CRC.
TEST(LinkFrames, CrcFramesAndLengths)
{
    EXPECT_EQ(frameHex(BuildReadRegistersFrame(1, 0, 0, 0, 1)), toHex(kReadStation));
    EXPECT_EQ(frameHex(BuildWriteRegisterFrame(1, 0x00, 0x90, 0, 0)), toHex(kStopStream));
    EXPECT_EQ(frameHex(BuildWriteCoilFrame(1, 0x00, 0x26, 0xFF)), toHex(kServoOn));
    EXPECT_EQ(frameHex(BuildReportSlaveIdFrame(1)), toHex(kReportSlaveId));
    const uint8_t zeros[34] = {};
    EXPECT_FALSE(LinkCrcMatches(zeros, 32));
    for (auto [count, length] : {std::pair{1, 7}, {125, 255}, {126, 0}, {0, 0}})
        EXPECT_EQ(ExpectedReadReplyLength(count), size_t(length)) << count;
}

// A drain per byte splits a frame on a USB adapter: two writes and two drains
// whatever the length, and stale input is purged before the last byte.
TEST_F(OpenLink, ARequestIsTwoWritesAndTwoDrainsWhateverItsLength)
{
    const Bytes writeTwo = withCrc(hex("01 10 00 10 00 02 04 00 01 00 02"));
    Bytes all;
    for (const Bytes& frame : {kReportSlaveId, kReadStation, writeTwo}) {
        drive->send(Answer(hex("C5 01 02")));  // stale stream bytes
        uint32_t queued = 0;
        for (int i = 0; i < 500 && queued < 3; ++i) {
            ASSERT_TRUE(platform::serialQueuedInput(linkState().portHandle, queued));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const platform::SerialCallCounts before = platform::serialCallCounts();
        ASSERT_TRUE(LinkSendRequest(linkState().portHandle, frame.data(), frame.size()));
        const platform::SerialCallCounts after = platform::serialCallCounts();
        EXPECT_EQ(after.sends - before.sends, 2u) << toHex(frame);
        EXPECT_EQ(after.drains - before.drains, 2u) << toHex(frame);
        ASSERT_TRUE(platform::serialQueuedInput(linkState().portHandle, queued));
        EXPECT_EQ(queued, 0u) << "stale input purged";
        all.insert(all.end(), frame.begin(), frame.end());
    }
    drive->waitReceived(all.size());
    EXPECT_EQ(toHex(drive->received()), toHex(all));
}

// Without a port every operation fails and says why. Indices 0-3 set their rate; another
// index keeps the port's rate, even one the drives never use (4800, 7E2), and changes only the format.
TEST_F(LinkTestBed, OperationsFailWithoutAPortAndIndexOutsideTheRatesKeepsThePortsRate)
{
    EXPECT_EQ(LinkWriteRegister(1, 0, 0x10, 0, 1, 0), 0);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::NoPort);
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 0, 3), 0);
    EXPECT_EQ(LinkWriteCoil(1, 0, 0x26, 0xFF), 0);
    EXPECT_EQ(LinkReportSlaveId(1), 0);

    openPort(1);
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    CloseLinkPort(linkState().portHandle);
    openPort(4);
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    CloseLinkPort(linkState().portHandle);

    const int other = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(other, &tio), 0);
    cfsetspeed(&tio, B4800);
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
    ASSERT_EQ(tcsetattr(other, TCSANOW, &tio), 0);
    ::close(other);
    openPort(4);
    ASSERT_EQ(tcgetattr(linkState().portHandle, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B4800));
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));
}

// Each operation's acceptance rule and attempt count against one kind of
// answer (none: silence), with a fresh drive per case.
TEST_F(OpenLink, OutcomeAndAttemptsOfEveryOperation)
{
    using F = LinkFailure;
    const struct {
        const char* name;
        Bytes request;
        std::optional<Answer> answer;
        std::function<int()> call;
        int result;
        std::optional<LinkFailure> failure;
        size_t attempts;
    } cases[] = {
        {"read, one byte too many", kReadStation, Answer(kStationReply).pad(hex("00")),
         [] { return LinkReadRegisters(1, 0, 0, 0, 1, 10, 0); }, 0, F::WrongLength, 1},
        {"read, bad crc", kReadStation, Answer(kStationReply).corrupt(4, 0x01),
         [] { return LinkReadRegisters(1, 0, 0, 0, 1, 10, 0); }, 0, F::BadCrc, 1},
        {"read, 126 registers", kReadStation, {}, [] { return LinkReadRegisters(1, 0, 0, 0, 126, 0, 0); }, 0,
         F::BadRequest, 0},
        {"quick read, no registers", kReadStation, {}, [] { return LinkReadRegistersQuick(1, 0, 0, 0, 0); }, 0,
         F::BadRequest, 0},
        {"quick read, silence", kReadStation, {}, [] { return LinkReadRegistersQuick(1, 0, 0, 0, 1); }, 0, {}, 4},
        // A write takes any sound frame, even for another register.
        {"write, other register", kWritePr10, Answer(withCrc(hex("01 06 00 11 00 07"))),
         [] { return LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 5); }, 1, {}, 1},
        {"write, bad crc", kWritePr10, Answer(kWritePr10).corrupt(7),
         [] { return LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 0); }, 0, {}, 17},
        // Silence and bad CRCs count on one counter.
        {"polled write, silence", kWritePr10, {}, [] { return LinkWriteRegisterPolled(1, 0x00, 0x10, 0x00, 0x64, 2); },
         0, {}, 9},
        {"polled write, bad crc", kWritePr10, Answer(kWritePr10).corrupt(6),
         [] { return LinkWriteRegisterPolled(1, 0x00, 0x10, 0x00, 0x64, 30); }, 0, {}, 17},
        // A coil write needs its exact echo and is never repeated.
        {"coil, echo", kServoOn, Answer(kServoOn), [] { return LinkWriteCoil(1, 0x00, 0x26, 0xFF); }, 1, {}, 1},
        {"coil, sound but no echo", kServoOn, Answer(withCrc(hex("01 05 00 26 00 00"))),
         [] { return LinkWriteCoil(1, 0x00, 0x26, 0xFF); }, 0, F::EchoMismatch, 1},
    };
    for (const auto& c : cases) {
        drive = std::make_unique<testsupport::ScriptedResponder>(pty.masterFd());
        if (c.answer)
            drive->always(c.request, *c.answer);
        EXPECT_EQ(c.call(), c.result) << c.name;
        EXPECT_EQ(linkState().lastFailure, c.failure.value_or(linkState().lastFailure)) << c.name;
        drive->waitReceived(c.attempts ? c.attempts * c.request.size() : 1, c.attempts ? 2000 : 20);
        EXPECT_EQ(drive->received().size(), c.attempts * c.request.size()) << c.name;
    }
}

// Between read attempts a stream is stopped, except while scanning; an up-to read
// ends once the whole reply is queued.
TEST_F(OpenLink, ReadRetriesStopAStreamUnlessScanningAndUpToReadsEndOnTheWholeReply)
{
    drive->always(kStopStream, Answer(kStopStream));
    drive->expect(kReadStation, Answer::none());
    drive->expect(kReadStation, Answer(kStationReply));
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 5, 1), 1);
    ASSERT_EQ(drive->requests().size(), 3u);
    EXPECT_EQ(toHex(drive->requests()[1]), toHex(kStopStream));

    linkState().scanRunning = 1;
    drive->expect(kReadStation, Answer::none());
    drive->expect(kReadStation, Answer::none());
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 0, 1), 0);
    linkState().scanRunning = 0;
    EXPECT_EQ(drive->requests().size(), 5u);  // two reads, no stop

    // A prompt reply ends a long wait early, a split one is awaited whole, and
    // the outcome rules (too long, silence) still hold after the wait.
    drive->expect(kReadStation, Answer(kStationReply).after(5));
    const long promptMs = MillisecondsOf([] { EXPECT_EQ(LinkReadRegistersUpTo(1, 0, 0, 0, 1, 3000, 0), 1); });
    EXPECT_LT(promptMs, 1500);
    EXPECT_EQ(linkState().receiveBuffer[4], 5);
    EXPECT_EQ(toHex(Bytes(linkState().lastReadReply, linkState().lastReadReply + 7)), toHex(kStationReply));
    EXPECT_EQ(linkState().lastReadReplyLength, 7u);
    drive->expect(kReadStation, Answer(kStationReply).split({3}, 40));
    EXPECT_EQ(LinkReadRegistersUpTo(1, 0, 0, 0, 1, 500, 0), 1);
    drive->expect(kReadStation, Answer(kStationReply).pad(hex("00")));
    EXPECT_EQ(LinkReadRegistersUpTo(1, 0, 0, 0, 1, 50, 0), 0);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::WrongLength);
    const long silentMs = MillisecondsOf([] { EXPECT_EQ(LinkReadRegistersUpTo(1, 0, 0, 0, 1, 60, 0), 0); });
    EXPECT_GE(silentMs, 60);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::NoReply);
}

// A direct write must not take the last reply for the next one; a write
// waits a full tenth of a second while the drive streams.
TEST_F(OpenLink, DirectWriteTakesNoStaleReplyAndStreamingWritesWaitATenth)
{
    drive->expect(kWritePr10, Answer(kWritePr10));
    ASSERT_EQ(LinkWriteRegisterDirect(1, 0x00, 0x10, 0x00, 0x64, 0), 1);
    EXPECT_EQ(LinkWriteRegisterDirect(1, 0x00, 0x10, 0x00, 0x64, 0), 0);  // the drive went quiet
    drive->always(kWritePr10, Answer(kWritePr10));
    EXPECT_LT(MillisecondsOf([] { EXPECT_EQ(LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 0), 1); }), 90);
    linkState().triggerRunning = 1;
    EXPECT_GE(MillisecondsOf([] { EXPECT_EQ(LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 0), 1); }), 100);
}

// An identification answer is taken with a good CRC, or without one when the
// drive repeats it byte for byte; answers that change every time never are.
TEST_F(OpenLink, IdentificationTakesASoundOrARepeatedAnswerOnly)
{
    const struct {
        const char* name;
        size_t length;
        bool goodCrc, stable;
        Bytes before;  // bytes ahead of the answer
        bool identified;
        size_t requests;
    } cases[] = {
        {"sound long", 34, true, true, {}, true, 1},
        {"long without crc, repeated", 34, false, true, {}, true, 2},
        {"long without crc, changing", 34, false, false, {}, false, 17},
        {"sound long, changing", 34, true, false, {}, true, 1},
        {"sound short", 28, true, true, {}, true, 2},
        {"short without crc, repeated", 28, false, true, {}, true, 4},
        {"short without crc, changing", 28, false, false, {}, false, 34},
        // 34 bytes queued for a while, stale bytes and the start of an answer.
        {"stale bytes ahead", 34, false, true, hex("C5 00 00 01 00 02"), false, 34},
    };
    for (const auto& c : cases) {
        drive = std::make_unique<testsupport::ScriptedResponder>(pty.masterFd());
        uint8_t answers = 0;
        drive->setHandler([&](Bytes& pending) -> std::optional<Answer> {
            if (pending.size() < kReportSlaveId.size())
                return std::nullopt;
            pending.erase(pending.begin(), pending.begin() + kReportSlaveId.size());
            Bytes frame = SlaveIdAnswer("VR-101", c.length);
            frame.resize(c.length - 2);
            frame[20] = c.stable ? 0 : ++answers;  // a byte after the code
            frame = withCrc(frame);
            frame.back() ^= c.goodCrc ? 0 : 0x5A;
            // The first 34 bytes together, the rest well after them.
            return Answer(c.before + frame).split({34}, 30);
        });
        const DriveIdentity identity = IdentifyDrive(1);
        EXPECT_EQ(identity.answered, c.identified) << c.name;
        EXPECT_EQ(identity.group, c.identified ? 9 : 0) << c.name;
        EXPECT_TRUE(drive->waitAnswered(c.requests)) << c.name;
        EXPECT_EQ(drive->requests().size(), c.requests) << c.name;
    }
}
