// The link's exchanges against a scripted drive on a pseudo-terminal: the
// bytes on the wire and the outcome rules of every operation. Expected
// frames were worked out with an independent bitwise CRC.
#include "LinkTestBed.h"

#include "link/LinkFrames.h"
#include "link/LinkPort.h"
#include "link/LinkRequests.h"
#include "tests/support/HexBytes.h"

using testsupport::Answer;
using testsupport::Bytes;
using testsupport::hex;
using testsupport::toHex;
using testsupport::withCrc;

namespace {

const Bytes kReadStation = hex("01 03 00 00 00 01 84 0A");
const Bytes kStationReply = hex("01 03 02 00 05 78 47");
const Bytes kStopStream = hex("01 06 00 90 00 00 89 E7");
const Bytes kWritePr10 = hex("01 06 00 10 00 64 89 E4");
const Bytes kServoOn = hex("01 05 00 26 FF 00 6D F1");
const Bytes kReportSlaveId = hex("01 11 C0 2C");

Bytes receiveBuffer(size_t length)
{
    return Bytes(linkState().receiveBuffer, linkState().receiveBuffer + length);
}

// An identification answer of `length` bytes with a model code at 12..17.
Bytes slaveIdAnswer(size_t length, const std::string& code)
{
    Bytes frame(length - 2, 0);
    frame[0] = 0x01;
    frame[1] = 0x11;
    frame[2] = static_cast<uint8_t>(length - 5);
    std::copy(code.begin(), code.end(), frame.begin() + 12);
    return withCrc(frame);
}

}  // namespace

TEST(LinkFrames, CrcAndFramesMatchAnIndependentCrc)
{
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(LinkCrc16(check, sizeof check), 0x4B37);
    EXPECT_EQ(LinkCrc16(check, 0), 0xFFFF);
    const auto read = BuildReadRegistersFrame(1, 0, 0, 0, 1);
    EXPECT_EQ(toHex(Bytes(read.begin(), read.end())), toHex(kReadStation));
    const auto write = BuildWriteRegisterFrame(1, 0x00, 0x90, 0, 0);
    EXPECT_EQ(toHex(Bytes(write.begin(), write.end())), toHex(kStopStream));
    const auto coil = BuildWriteCoilFrame(1, 0x00, 0x26, 0xFF);
    EXPECT_EQ(toHex(Bytes(coil.begin(), coil.end())), toHex(kServoOn));
    const auto id = BuildReportSlaveIdFrame(1);
    EXPECT_EQ(toHex(Bytes(id.begin(), id.end())), toHex(kReportSlaveId));
    // A cleared buffer must never pass a CRC check: failed receives rely on it.
    const uint8_t zeros[34] = {};
    EXPECT_FALSE(LinkCrcMatches(zeros, 6));
    EXPECT_FALSE(LinkCrcMatches(zeros, 26));
    EXPECT_FALSE(LinkCrcMatches(zeros, 32));
}

TEST(LinkFrames, ReadLengthsAndRefusedCounts)
{
    EXPECT_EQ(ExpectedReadReplyLength(1), 7u);
    EXPECT_EQ(ExpectedReadReplyLength(64), 133u);
    EXPECT_EQ(ExpectedReadReplyLength(125), 255u);
    EXPECT_EQ(ExpectedReadReplyLength(126), 0u);
    EXPECT_EQ(ExpectedReadReplyLength(0), 0u);
    EXPECT_EQ(BaudRateOfIndex(3), 115200u);
    EXPECT_EQ(BaudRateOfIndex(4), 0u);
}

TEST_F(LinkTestBed, OpenSetsTheIndexedRateAndIndexFourKeepsIt)
{
    openPort(1);
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    CloseLinkPort(linkState().portHandle);
    linkState().portHandle = OpenLinkPort(1, 4);
    ASSERT_TRUE(platform::isOpenHandle(linkState().portHandle));
    EXPECT_EQ(pty.slaveBaud(), 38400u);
    platform::SerialError why = platform::SerialError::None;
    EXPECT_EQ(OpenLinkPort(2, 0, &why), platform::kNoPort);  // no device
    EXPECT_EQ(why, platform::SerialError::NotFound);
    EXPECT_EQ(OpenLinkPort(17, 0), platform::kNoPort);
}

TEST_F(LinkTestBed, ReadTakesAnExactReplyAndKeepsACopy)
{
    openPort();
    drive->expect(kReadStation, Answer(kStationReply).after(5));
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 20, 0), 1);
    EXPECT_EQ(toHex(drive->received()), toHex(kReadStation));
    EXPECT_EQ(linkState().receiveBuffer[4], 5);
    EXPECT_EQ(toHex(Bytes(linkState().lastReadReply, linkState().lastReadReply + 7)), toHex(kStationReply));
    EXPECT_EQ(linkState().lastReadReplyLength, 7u);
}

TEST_F(LinkTestBed, ReadFailsOnOneExtraByteOrBadCrc)
{
    openPort();
    drive->expect(kReadStation, Answer(kStationReply).pad(hex("00")));
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 10, 0), 0);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::WrongLength);
    drive->expect(kReadStation, Answer(kStationReply).corrupt(4, 0x01));
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 10, 0), 0);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::BadCrc);
    // Each failed attempt still leaves its bytes in the copy.
    EXPECT_EQ(linkState().lastReadReply[4], 0x04);
    EXPECT_EQ(drive->requests().size(), 2u);
}

TEST_F(LinkTestBed, ReadRetriesStopAStreamBetweenAttemptsUnlessScanning)
{
    openPort();
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
}

TEST_F(LinkTestBed, OutOfRangeCountsAreRefusedWithoutSending)
{
    openPort();
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 126, 0, 0), 0);
    EXPECT_EQ(LinkReadRegistersQuick(1, 0, 0, 0, 0), 0);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::BadRequest);
    EXPECT_TRUE(drive->waitIdle());
    EXPECT_TRUE(drive->received().empty());
}

TEST_F(LinkTestBed, QuickReadGivesUpAfterFourAttempts)
{
    openPort();
    EXPECT_EQ(LinkReadRegistersQuick(1, 0, 0, 0, 1), 0);
    EXPECT_EQ(drive->received().size(), 4 * kReadStation.size());
    drive->expect(kReadStation, Answer(kStationReply).after(8));
    EXPECT_EQ(LinkReadRegistersQuick(1, 0, 0, 0, 1), 1);
}

TEST_F(LinkTestBed, WriteRegisterTakesAnyReplyWithAGoodCrc)
{
    openPort();
    // A different register and value, but a sound frame: accepted.
    drive->expect(kWritePr10, Answer(withCrc(hex("01 06 00 11 00 07"))));
    EXPECT_EQ(LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 5), 1);
    drive->always(kWritePr10, Answer(kWritePr10).corrupt(7));
    EXPECT_EQ(LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 0), 0);
    EXPECT_EQ(drive->requests().size(), 1u + 17u);
}

TEST_F(LinkTestBed, WriteRegisterWaitsAFullTenthWhileStreaming)
{
    openPort();
    drive->always(kWritePr10, Answer(kWritePr10));
    EXPECT_LT(MillisecondsOf([] { EXPECT_EQ(LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 0), 1); }), 60);
    linkState().triggerRunning = 1;
    EXPECT_GE(MillisecondsOf([] { EXPECT_EQ(LinkWriteRegister(1, 0x00, 0x10, 0x00, 0x64, 0), 1); }), 100);
    // The direct variant keeps the caller's wait even then.
    EXPECT_LT(MillisecondsOf([] { EXPECT_EQ(LinkWriteRegisterDirect(1, 0x00, 0x10, 0x00, 0x64, 0), 1); }), 60);
}

TEST_F(LinkTestBed, DirectWriteDoesNotTakeAStaleReplyForANewOne)
{
    openPort();
    drive->expect(kWritePr10, Answer(kWritePr10));
    ASSERT_EQ(LinkWriteRegisterDirect(1, 0x00, 0x10, 0x00, 0x64, 0), 1);
    // The drive goes quiet: the good reply from before must not count again.
    EXPECT_EQ(LinkWriteRegisterDirect(1, 0x00, 0x10, 0x00, 0x64, 0), 0);
}

TEST_F(LinkTestBed, PolledWriteCountsSilenceAndBadCrcsOnOneCounter)
{
    openPort();
    EXPECT_EQ(LinkWriteRegisterPolled(1, 0x00, 0x10, 0x00, 0x64, 2), 0);
    EXPECT_EQ(drive->received().size(), 9 * kWritePr10.size());

    drive->always(kWritePr10, Answer(kWritePr10).corrupt(6));
    EXPECT_EQ(LinkWriteRegisterPolled(1, 0x00, 0x10, 0x00, 0x64, 6), 0);
    EXPECT_EQ(drive->requests().size(), 17u);  // the silent tries matched no rule
}

TEST_F(LinkTestBed, PolledWriteReadsAReplyStillArriving)
{
    openPort();
    drive->expect(kWritePr10, Answer(kWritePr10).after(1).paced(19200));
    EXPECT_EQ(LinkWriteRegisterPolled(1, 0x00, 0x10, 0x00, 0x64, 3), 1);
}

TEST_F(LinkTestBed, CoilWriteNeedsAnExactEchoAndNeverRepeats)
{
    openPort();
    drive->expect(kServoOn, Answer(kServoOn));
    EXPECT_EQ(LinkWriteCoil(1, 0x00, 0x26, 0xFF), 1);
    // A sound frame that differs from the request is refused.
    drive->expect(kServoOn, Answer(withCrc(hex("01 05 00 26 00 00"))));
    EXPECT_EQ(LinkWriteCoil(1, 0x00, 0x26, 0xFF), 0);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::EchoMismatch);
    EXPECT_EQ(drive->requests().size(), 2u);
}

TEST_F(LinkTestBed, ReportSlaveIdTakesTheLongOrTheShortAnswer)
{
    openPort();
    const Bytes longAnswer = slaveIdAnswer(34, "VR-101");
    drive->expect(kReportSlaveId, Answer(longAnswer).after(3));
    EXPECT_EQ(LinkReportSlaveId(1), 1);
    EXPECT_EQ(toHex(receiveBuffer(34)), toHex(longAnswer));

    const Bytes shortAnswer = slaveIdAnswer(28, "VR-008");
    drive->always(kReportSlaveId, Answer(shortAnswer));
    EXPECT_EQ(LinkReportSlaveId(1), 1);
    EXPECT_EQ(toHex(receiveBuffer(28)), toHex(shortAnswer));
    EXPECT_EQ(drive->requests().size(), 3u);  // the long receive failed once
}

TEST_F(LinkTestBed, ALongAnswerAtTheSlowestRateArrivesInOneRequest)
{
    openPort(0);  // 19200 baud: 34 bytes take 18 ms on the wire
    drive->always(kReportSlaveId, Answer(slaveIdAnswer(34, "VR-101")).after(15).paced(19200));
    EXPECT_EQ(LinkReportSlaveId(1), 1);
    EXPECT_EQ(drive->requests().size(), 1u);
}

TEST_F(LinkTestBed, ReportSlaveIdRefusesACorruptLongAnswer)
{
    openPort();
    drive->expect(kReportSlaveId, Answer(slaveIdAnswer(34, "VR-101")).corrupt(14, 0x20));
    const Bytes shortAnswer = slaveIdAnswer(28, "VR-101");
    drive->expect(kReportSlaveId, Answer(shortAnswer));
    EXPECT_EQ(LinkReportSlaveId(1), 1);
    EXPECT_EQ(toHex(receiveBuffer(28)), toHex(shortAnswer));
}

TEST_F(LinkTestBed, EveryOperationFailsWithoutAPort)
{
    EXPECT_EQ(LinkWriteRegister(1, 0, 0x10, 0, 1, 0), 0);
    EXPECT_EQ(linkState().lastFailure, LinkFailure::NoPort);
    EXPECT_EQ(LinkReadRegisters(1, 0, 0, 0, 1, 0, 3), 0);
    EXPECT_EQ(LinkWriteCoil(1, 0, 0x26, 0xFF), 0);
    EXPECT_EQ(LinkWriteRegisterPolled(1, 0, 0x90, 0, 1, 0), 0);
    EXPECT_EQ(LinkReportSlaveId(1), 0);
    EXPECT_EQ(LinkReceive(platform::kNoPort, 8), 0);
}
