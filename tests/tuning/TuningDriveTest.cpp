// Auto tuning runs that fail, a drive that stops answering, the gain
// transfer's first failure and the EEPROM check against the simulated drive
// (a whole run is in the view's suite).
#include "tests/monitor/ConnectedDrive.h"

#include "link/CommandWait.h"
#include "link/LinkState.h"
#include "platform/Ticks.h"
#include "tuning/AutoTuningSession.h"
#include "tuning/GainSnapshot.h"
#include "tuning/GainTransfer.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// Polls as the view does (status, then its follow-up) until the run ends
// or a few seconds pass; returns the run and the display it ended with.
std::optional<TuningRunResult> pollUntilRunEnds(AutoTuningSession& session)
{
    std::optional<TuningRunResult> result;
    for (int i = 0; i < 60 && !result; ++i) {
        if (session.pollStatus())
            session.pollFollowUp();
        result = session.takeFinishedRun();
        platform::sleepMs(100);
    }
    return result;
}

}  // namespace

TEST(AutoTuning, RunsThatEndInErrorOrServoOff)
{
    ConnectedDrive drive({"--model", "VR-008", "--tune-ms", "300", "--tune-error", "4"});
    ASSERT_TRUE(drive.ok());
    AutoTuningSession session;

    // Without the servo on the drive refuses at once (code 3); with it on,
    // the run ends in the error code drivesim was given.
    for (const auto& [servo, code, status] : {std::tuple{false, 3, "Servo Off"}, std::tuple{true, 4, "Error"}}) {
        ASSERT_TRUE(session.setServo(servo));
        ASSERT_EQ(session.start(3), AutoTuningSession::StartResult::Started);
        const std::optional<TuningRunResult> result = pollUntilRunEnds(session);
        ASSERT_TRUE(result) << status;
        EXPECT_EQ(result->code, code);
        EXPECT_EQ(session.display().statusText, status);
        EXPECT_EQ(session.display().statusColour, kColourRed);
        EXPECT_TRUE(servo || session.display().inertiaText.empty()) << "no result without a run";
        EXPECT_TRUE(session.display().startEnabled);
        EXPECT_EQ(result->after[5], result->before[5]) << "a failed run leaves the inertia ratio";
    }
    session.setServo(false);
}

// One drive through its faults: a silent drive shows "Invalid" and refuses a
// start, a gain read or transfer stops at its first failure, and the EEPROM
// save counts only when read back.
TEST(GainTransfer, SilenceAndRefusalsStopEachExchange)
{
    ConnectedDrive drive({"--model", "VR-008"});
    ASSERT_TRUE(drive.ok());
    AutoTuningSession session;
    EXPECT_FALSE(session.pollStatus());
    EXPECT_EQ(session.display().statusText, "Idle");

    drive.silence();
    EXPECT_FALSE(session.pollStatus());
    EXPECT_EQ(session.display().statusText, "Invalid");
    EXPECT_EQ(session.display().statusColour, kColourRed);
    EXPECT_EQ(session.display().inertiaText, "");
    const GainSnapshot kept = CurrentGainSnapshot();
    EXPECT_EQ(session.start(2), AutoTuningSession::StartResult::SnapshotFailed);
    EXPECT_EQ(CurrentGainSnapshot().values, kept.values) << "a failed read keeps the old snapshot";
    EXPECT_FALSE(session.setServo(true));
    GainValues read{};
    EXPECT_EQ(ReadGains(read), 0) << "the first read fails, the rest are not tried";
    EXPECT_FALSE(EepromSaveConfirmed(3, true)) << "no read-back, no success";

    drive.answerAgain();
    EXPECT_FALSE(session.pollStatus());
    EXPECT_EQ(session.display().statusText, "Idle");

    // Pr.14 = 10 is refused by the drive: Pr.10 to Pr.12 are written, not Pr.20.
    std::vector<int> written;
    EXPECT_EQ(TransferGains({120, 50, 24, 10, 400}, [&](int row) { written.push_back(row); }), 3);
    EXPECT_EQ(written, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(ReadGains(read), -1);
    EXPECT_EQ(read[RowPr12], 24);
    EXPECT_NE(read[RowPr14], 10);
    EXPECT_NE(read[RowPr20], 400);

    linkState().commandWait.targetRegister = kEepromSaveRegister & 0xFF;
    CommandWait wait;
    while (!wait.tick())
        platform::sleepMs(CommandWait::kTickIntervalMs);
    EXPECT_TRUE(wait.accepted());
    EXPECT_TRUE(EepromSaveConfirmed(3, wait.accepted()));
    EXPECT_TRUE(EepromSaveConfirmed(0, true)) << "a class-0 drive is taken at its word";
    EXPECT_FALSE(EepromSaveConfirmed(0, false));
}
