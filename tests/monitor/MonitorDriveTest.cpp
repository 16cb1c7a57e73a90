// The I/O poller against the simulated drive, a drive that stops answering
// and answers again, and a scripted drive for what drivesim cannot do; then
// the polls beside the other users of the one port: the parameter page's
// reads and writes in between, and the scope's stream.
#include "tests/link/LinkTestBed.h"
#include "tests/monitor/ConnectedDrive.h"

#include "link/LinkConnection.h"
#include "link/LinkRequests.h"
#include "link/ScopeStreamControl.h"
#include "monitor/AlarmReader.h"
#include "monitor/IoMonitorPoller.h"
#include "platform/Ticks.h"
#include "tuning/AutoTuningSession.h"
#include "tuning/GainSnapshot.h"

#include <gtest/gtest.h>

namespace {

bool hasLine(const std::string& text, const std::string& line)
{
    return text.find("\n" + line + "\n") != std::string::npos;
}

// What the parameter page does between two polls: a page read of 64
// registers and the write of one parameter.
void pageExchanges(int round)
{
    StreamPause pause;
    EXPECT_EQ(LinkReadRegisters(ConnectedDrive::kStation, 0x00, 0x00, 0x00, 64, 200, 1), 1) << "round " << round;
    EXPECT_EQ(LinkWriteRegister(ConnectedDrive::kStation, 0x00, 0x15, 0x01, 0x2C + round, 0), 1) << "round " << round;
}

// Every poll of a round was answered: a fresh mode, inputs and outputs.
void expectFreshRound(const IoMonitorPoller& poller, int round)
{
    EXPECT_TRUE(poller.readout().answering && poller.readout().inputsKnown && poller.readout().outputsKnown)
        << "round " << round;
}

}  // namespace

TEST(IoFromTheDrive, ModePinsPulseSumsAndASilentDrive)
{
    ConnectedDrive drive({"--mode", "3"});
    ASSERT_TRUE(drive.ok());
    IoMonitorPoller poller(LinkModbus(), 115);
    ASSERT_TRUE(poller.readAll());
    EXPECT_EQ(poller.readout().modeText, "Position/Velocity Control Mode");
    EXPECT_TRUE(hasLine(poller.readout().inputText, "      8  CW-LIMIT   CW over-travel inhibit input"));
    EXPECT_TRUE(hasLine(poller.readout().outputText, "     11  BK-OFF     External brake release signal"));

    // CW-LIMIT (coil 32) and SVO-ON (coil 38): bits 0 and 6.
    ASSERT_TRUE(drive.setCoils(32, 7, 0x41));
    platform::sleepMs(50);
    ASSERT_TRUE(poller.readAll());
    const IoReadout& io = poller.readout();
    EXPECT_TRUE(hasLine(io.inputText, " V    8  CW-LIMIT   CW over-travel inhibit input")) << io.inputText;
    EXPECT_TRUE(hasLine(io.inputText, " V   29  SVO-ON     Servo-ON input")) << io.inputText;
    EXPECT_TRUE(hasLine(io.inputText, "      9  CCW-LIMIT  CCW over-travel inhibit input"));
    EXPECT_TRUE(hasLine(io.outputText, " V   11  BK-OFF     External brake release signal")) << io.outputText;
    ASSERT_TRUE(io.sumsKnown);
    EXPECT_NE(io.commandSum, 0) << "an energised drive counts its command pulses";

    // Stepped: one full round (mode, sums, inputs, outputs, then the
    // interval); a silent drive is then asked again slowly, texts kept.
    IoMonitorPoller stepped(LinkModbus(), 115);
    for (int delay : {0, 0, 0, 115})
        EXPECT_EQ(stepped.step(), delay);
    const IoReadout before = stepped.readout();
    ASSERT_TRUE(before.sumsKnown);
    EXPECT_NE(before.commandSum, 0);

    drive.silence();
    EXPECT_EQ(stepped.step(), IoMonitorPoller::kSlowPollMs);
    EXPECT_FALSE(stepped.readout().answering);
    EXPECT_EQ(stepped.step(), IoMonitorPoller::kSlowPollMs) << "asked again, slowly";
    EXPECT_EQ(stepped.readout().modeText, "Position/Velocity Control Mode") << "the last texts stay";
    EXPECT_EQ(stepped.readout().inputText, before.inputText);
    // Zero while the drive does not answer leaves the shown value.
    EXPECT_FALSE(stepped.zeroCommandSum());
    EXPECT_EQ(stepped.readout().commandSum, before.commandSum);

    drive.answerAgain();
    EXPECT_EQ(stepped.step(), 0);
    EXPECT_TRUE(stepped.readout().answering);

    // Servo off: once the machine has coasted to rest the sums stand still;
    // Zero clears each, as read back.
    ASSERT_TRUE(drive.setCoils(32, 7, 0x00));
    platform::sleepMs(500);
    ASSERT_TRUE(poller.zeroCommandSum());
    EXPECT_EQ(poller.readout().commandSum, 0);
    ASSERT_TRUE(poller.zeroFeedbackSum());
    ASSERT_TRUE(poller.readAll());
    EXPECT_EQ(poller.readout().commandSum, 0);
    EXPECT_EQ(poller.readout().feedbackSum, 0);
}

TEST(IoFromTheDrive, IntervalSettingBelowTheFloorIsRaised)
{
    const struct {
        int setting, used;
    } rows[] = {{115, 115}, {10, 10}, {0, 10}, {-5, 10}, {3000, 3000}};
    for (const auto& row : rows)
        EXPECT_EQ(IoMonitorPoller(LinkModbus(), row.setting).intervalMs(), row.used) << row.setting;
}

// A drive scripted to hold what drivesim refuses, or to leave noise behind.
class ScriptedIoDrive : public LinkTestBed {
protected:
    void SetUp() override
    {
        LinkTestBed::SetUp();
        openPort(3);
        CompleteConnection(linkState().portHandle, 1);
    }
};

// A mode no text stands for shows dashes; a late reply left in the queue
// (the library master sends without purging) is dropped before the poll.
TEST_F(ScriptedIoDrive, UnknownModeShowsDashesAndStaleInputIsDropped)
{
    const struct {
        const char* modeReply;
        bool staleReply;
        const char* shown;
    } rows[] = {{"01 03 02 00 09", false, "------------"}, {"01 03 02 00 04", true, "Position/Torque Control Mode"}};
    for (const auto& row : rows) {
        drive->expect(hex("01 03 00 02 00 01 25 CA"), Answer(withCrc(hex(row.modeReply))));
        if (row.staleReply) {
            drive->send(Answer(hex("01 06 00 90 00 00 89 E7")));
            ASSERT_TRUE(drive->waitIdle());
            platform::sleepMs(5);
        }
        IoMonitorPoller poller(LinkModbus(), 115);
        EXPECT_EQ(poller.step(), 0);
        EXPECT_EQ(poller.readout().modeText, row.shown);
    }
}

// The polls beside the parameter page's reads and writes, first alone, then
// while the scope streams: every exchange is answered and the stream resumes.
TEST(SharedPort, PollsInterleavedWithThePageAndTheStream)
{
    ConnectedDrive drive({"--alarm", "16"});
    ASSERT_TRUE(drive.ok());
    IoMonitorPoller io(LinkModbus(), 115);
    AutoTuningSession tuning;
    for (int round = 0; round < 2; ++round) {
        do {
            io.step();
            pageExchanges(round);
        } while (!io.atRoundStart());
        expectFreshRound(io, round);

        AlarmReadout alarms;
        EXPECT_TRUE(ReadAlarms(alarms)) << "round " << round;
        EXPECT_EQ(alarms.current, 16);
        pageExchanges(round);

        tuning.pollStatus();
        EXPECT_EQ(tuning.display().statusText, "Idle") << "round " << round;
        pageExchanges(round);
    }

    drive.startStream(0x0C);
    ASSERT_GT(drive.queuedAfterMs(30), 9u) << "the stream runs";
    for (int round = 0; round < 2; ++round) {
        AlarmReadout alarms;
        EXPECT_TRUE(ReadAlarms(alarms)) << "round " << round;
        EXPECT_EQ(alarms.current, 16);
        EXPECT_TRUE(io.readAll()) << "round " << round;
        expectFreshRound(io, round);
        tuning.pollStatus();
        EXPECT_EQ(tuning.display().statusText, "Idle") << "round " << round;
        GainSnapshot snapshot;
        EXPECT_TRUE(ReadGainSnapshot(snapshot)) << "round " << round;
        pageExchanges(round);
        EXPECT_GT(drive.queuedAfterMs(30), 9u) << "the stream runs again after round " << round;
    }
    drive.stopStream();
}
