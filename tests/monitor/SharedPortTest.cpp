// The polling views' exchanges beside the other users of the one port: the
// parameter page's reads and writes in between, and the scope's stream.
#include "tests/monitor/ConnectedDrive.h"

#include "link/LinkConnection.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"
#include "monitor/AlarmReader.h"
#include "monitor/IoMonitorPoller.h"
#include "tuning/AutoTuningSession.h"
#include "tuning/GainSnapshot.h"

#include <gtest/gtest.h>

namespace {

// What the parameter page does between two polls: a page read of 64
// registers and the write of one parameter.
void pageExchanges(int round)
{
    StreamPause pause;
    EXPECT_EQ(LinkReadRegisters(ConnectedDrive::kStation, 0x00, 0x00, 0x00, 64, 200, 1), 1) << "round " << round;
    EXPECT_EQ(LinkWriteRegister(ConnectedDrive::kStation, 0x00, 0x15, 0x01, 0x2C + round, 0), 1) << "round " << round;
}

void expectFreshRound(const IoMonitorPoller& poller, int round)
{
    EXPECT_TRUE(poller.readout().answering) << "round " << round;
    EXPECT_TRUE(poller.readout().inputsKnown) << "round " << round;
    EXPECT_TRUE(poller.readout().outputsKnown) << "round " << round;
}

}  // namespace

TEST(SharedPort, PollsInterleavedWithTheParameterPage)
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
}

TEST(SharedPort, PollsWhileTheScopeStreams)
{
    ConnectedDrive drive({"--alarm", "24"});
    ASSERT_TRUE(drive.ok());
    drive.startStream(0x0C);
    ASSERT_GT(drive.queuedAfterMs(30), 9u) << "the stream runs";

    IoMonitorPoller io(LinkModbus(), 115);
    AutoTuningSession tuning;
    for (int round = 0; round < 2; ++round) {
        AlarmReadout alarms;
        EXPECT_TRUE(ReadAlarms(alarms)) << "round " << round;
        EXPECT_EQ(alarms.current, 24);
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
