// The scope against drivesim, paced at 115200 baud, streaming its test waves (a 1 s square on
// Speed Command, a 1 s sine on Speed). DRIVARA_SCOPE_SCAN_SECONDS: the scan's length (5 s).
#include "link/LinkRequests.h"
#include "link/ScopeStreamControl.h"
#include "scope/ScopeDiagnostics.h"
#include "tests/scope/ScopeTestSupport.h"

#include <csignal>
#include <cstdlib>

// A drivesim streaming test waves, connected, and a session on it.
class PacedScope : public ::testing::Test {
protected:
    void SetUp() override { connect({}); }
    void connect(std::vector<std::string> more)
    {
        ResetLinkState();
        for (const char* option : {"--latency", "2", "--signals", "test"})
            more.push_back(option);
        sim = ConnectDriveSim(more);
        ASSERT_EQ(linkState().online, 1) << "drivesim did not start: " << DriveSimProcess::programPath();
    }
    void TearDown() override
    {
        session.reset();
        if (sim && sim->pid() > 0)
            kill(sim->pid(), SIGCONT);
        ResetLinkState();
        sim.reset();
    }

    void scanLosesNoRecords(int seconds);

    std::unique_ptr<DriveSimProcess> sim;
    std::unique_ptr<ScopeSession> session = std::make_unique<ScopeSession>();
};

// The same drive behind a USB adapter's 16 ms latency timer: records come in bursts.
class PacedScopeBehindUsbAdapter : public PacedScope {
protected:
    void SetUp() override { connect({"--usb-batch", "16"}); }
};

// A record lost, corrupted or out of step anywhere in a long full-rate scan of three channels.
TEST_F(PacedScope, ScanLosesNoRecords)
{
    const char* configured = std::getenv("DRIVARA_SCOPE_SCAN_SECONDS");
    scanLosesNoRecords(configured ? std::max(1, std::atoi(configured)) : 5);
}

// Bursts of records split anywhere by the adapter's packets still decode without a loss.
TEST_F(PacedScopeBehindUsbAdapter, ScanLosesNoRecords)
{
    scanLosesNoRecords(3);
}

void PacedScope::scanLosesNoRecords(int seconds)
{
    std::vector<int> command;  // every Speed Command value, in order
    session->acquisition().setRecordTap([&command](const DecodedRecord& record) {
        for (int k = 0; k < record.layout.used; ++k)
            if (record.layout.channel[k] == kCommand)
                command.push_back(record.value[k]);
    });
    for (int c : {kSpeed, kTorque, kCommand})
        session->scale().setChecked(c, true);
    ASSERT_EQ(session->run(0), ScopeSession::RunResult::Started);
    const long elapsed = MillisecondsOf([&] {
        EXPECT_EQ(PollUntil(*session, [] { return false; }, seconds * 1000), AcquisitionEnd::None);
    });
    session->stop();
    const ScopeDiagnostics& counters = scopeDiagnostics();
    EXPECT_EQ(counters.crcFailures.load(), 0u);
    EXPECT_EQ(counters.leadBytes.load(), counters.records.load()) << "no stray bytes";
    EXPECT_GE(long(counters.records.load()), elapsed - 400) << "one record a millisecond, 114 left queued";
    EXPECT_EQ(session->buffers().size(kTorque), 501u);
    // The square's half periods are runs of equal values: every whole one
    // (all but the first and the last) 500 records long.
    std::vector<size_t> runs;
    for (size_t i = 1, start = 0; i <= command.size(); ++i)
        if (i == command.size() || command[i] != command[start]) {
            runs.push_back(i - start);
            start = i;
        }
    ASSERT_GE(runs.size(), size_t(2 * seconds));
    for (size_t i = 1; i + 1 < runs.size(); ++i)
        EXPECT_EQ(runs[i], 500u) << "half period " << i << ": records lost";
}

// A parameter read while streaming that fails, or a stream that does not run again after it;
// then a hung drive that keeps the run going for more than about 2 s, or takes the capture along.
TEST_F(PacedScope, ParameterReadWhileStreamingThenTheDriveHangs)
{
    ASSERT_EQ(LinkReadRegisters(1, 0x00, 0x10, 0x00, 0x01, 200, 1), 1);
    const Bytes before = ReceiveBuffer(7);
    session->scale().setChecked(kSpeed, true);
    ASSERT_EQ(session->run(0), ScopeSession::RunResult::Started);
    PollUntil(*session, [] { return scopeDiagnostics().records >= 600; }, 5000);
    ScopePause();
    ASSERT_NE(linkState().acquisitionWorker, nullptr);
    EXPECT_TRUE(linkState().acquisitionWorker->suspended());
    EXPECT_EQ(LinkReadRegisters(1, 0x00, 0x10, 0x00, 0x01, 200, 1), 1);
    EXPECT_EQ(toHex(ReceiveBuffer(7)), toHex(before));
    ScopeResume();
    const uint32_t resumedAt = scopeDiagnostics().records;
    EXPECT_EQ(PollUntil(*session, [&] { return scopeDiagnostics().records > resumedAt + 500; }, 5000),
              AcquisitionEnd::None);
    EXPECT_GT(scopeDiagnostics().records.load(), resumedAt + 500) << "the stream runs again";

    ASSERT_EQ(kill(sim->pid(), SIGSTOP), 0);
    AcquisitionEnd end = AcquisitionEnd::None;
    const long took = MillisecondsOf([&] { end = PollUntil(*session, [] { return false; }, 6000); });
    EXPECT_EQ(end, AcquisitionEnd::DriveSilent);
    EXPECT_LT(took, 3000) << "the silence is " << took << " ms; 2 s on an unloaded machine";
    std::printf("drive silent: acquisition ended after %ld ms\n", took);
    EXPECT_EQ(session->buffers().size(kSpeed), 501u) << "what was captured stays";
}

// The drive's step not at index P, or the follower channel covering other records.
TEST_F(PacedScope, TriggeredCapturePlacesTheStepAtIndexP)
{
    session->scale().setChecked(kSpeed, true);
    session->scale().setChecked(kCommand, true);
    session->live().horizontal = 50;
    session->live().level = 0;
    ASSERT_EQ(session->captureOnce(kCommand + 1, 5000), ScopeSession::CaptureResult::Complete);
    const std::vector<double> command = session->buffers().samples(kCommand);
    const std::vector<double> speed = session->buffers().samples(kSpeed);
    ASSERT_EQ(command.size(), 501u);
    ASSERT_EQ(speed.size(), 501u);
    EXPECT_EQ(command[249], -8192);
    EXPECT_EQ(command[250], 8191);
    // The step comes at the start of each second, where the speed sine
    // crosses zero upwards.
    EXPECT_EQ(speed[250], 0);
    EXPECT_LT(speed[249], 0);
    EXPECT_GT(speed[251], 0);
    EXPECT_EQ(linkState().triggerRunning.load(), 0);
}
