// The link against the simulated drive answering at the wire rate of the
// line (paced bytes, 10 ms latency), at the slowest and the fastest rate.
#include "tests/support/DriveSimProcess.h"
#include "LinkTestBed.h"

#include "link/DriveIdentification.h"
#include "link/LinkPort.h"
#include "link/LinkRequests.h"
#include "link/StationFinder.h"
#include "platform/Ticks.h"

namespace {

// drivesim with these options, mapped to COM 1 and opened into the link state.
std::unique_ptr<DriveSimProcess> OpenOnDriveSim(std::vector<std::string> options, int baudIndex)
{
    ResetLinkState();
    auto sim = std::make_unique<DriveSimProcess>(options);
    EXPECT_TRUE(sim->ok()) << "drivesim did not start: " << DriveSimProcess::programPath();
    MapOnlyPort(1, sim->portPath());
    linkState().portHandle = OpenLinkPort(1, baudIndex);
    EXPECT_TRUE(platform::isOpenHandle(linkState().portHandle));
    return sim;
}

uint16_t RegisterInReply(int index)
{
    const uint8_t* data = linkState().lastReadReply + 3 + 2 * index;
    return static_cast<uint16_t>(data[0] << 8 | data[1]);
}

struct Rate {
    uint32_t baud;
    int baudIndex;
};

class PacedDrive : public ::testing::TestWithParam<Rate> {
protected:
    void SetUp() override
    {
        sim = OpenOnDriveSim({"--station", "3", "--model", "VR-101", "--baud", std::to_string(GetParam().baud),
                              "--pace", "--latency", "10"}, GetParam().baudIndex);
        ASSERT_TRUE(sim->ok() && platform::isOpenHandle(linkState().portHandle));
        linkState().slaveAddress = 3;
    }
    void TearDown() override
    {
        ResetLinkState();
        sim.reset();
    }
    std::unique_ptr<DriveSimProcess> sim;
};

}  // namespace

// Scan, read, write, read back and identify while streaming, at the wire rate of the line.
TEST_P(PacedDrive, FindsReadsWritesAndIdentifiesWhileTheScopeStreams)
{
    StationScan scan;
    scan.lastAddress = 4;
    ASSERT_EQ(FindStation(0, scan), 1);
    EXPECT_EQ(linkState().slaveAddress, 3);

    ASSERT_EQ(LinkReadRegisters(3, 0x00, 0x00, 0x00, 64, 200, 1), 1);
    EXPECT_EQ(linkState().lastReadReply[2], 128);
    EXPECT_EQ(RegisterInReply(0), 3);  // Pr.00 holds the station

    ASSERT_EQ(LinkWriteRegister(3, 0x00, 0x10, 0x00, 0x77, 100), 1);
    ASSERT_EQ(LinkReadRegisters(3, 0x00, 0x10, 0x00, 0x01, 200, 1), 1);
    EXPECT_EQ(RegisterInReply(0), 0x77);

    EXPECT_EQ(LinkWriteRegisterDirect(3, 0x00, 0x11, 0x00, 0x05, 0), 1);
    EXPECT_EQ(LinkWriteRegisterPolled(3, 0x00, 0x12, 0x00, 0x06, 100), 1);
    EXPECT_EQ(LinkWriteCoil(3, 0x00, 0x26, 0xFF), 1);

    // Identification stops and restarts a running stream around its exchange.
    LinkState& link = linkState();
    link.channelMask = 0x0C;
    // The start's echo is buried in the stream; the stream runs all the same.
    LinkWriteRegister(3, 0x00, kChannelSelectRegister, 0x00, link.channelMask, 0);
    platform::sleepMs(20);
    uint32_t queued = 0;
    ASSERT_TRUE(platform::serialQueuedInput(link.portHandle, queued));
    ASSERT_GT(queued, 9u);
    link.scanRunning = 1;

    const DriveIdentity identity = IdentifyDrive(3);
    EXPECT_TRUE(identity.answered);
    EXPECT_EQ(identity.code, "VR-101");
    EXPECT_EQ(identity.group, 9);
    platform::sleepMs(20);
    ASSERT_TRUE(platform::serialQueuedInput(link.portHandle, queued));
    EXPECT_GT(queued, 9u) << "the stream runs again";

    // Stopping needs the stream's own 100 ms wait to get a clean echo.
    EXPECT_EQ(LinkWriteRegister(3, 0x00, kChannelSelectRegister, 0x00, 0x00, 0), 1);
    link.scanRunning = 0;
}

// A USB adapter hands bytes over every 16 ms, on top of the drive's own time:
// reads with no wait of their own and no retry must still all succeed.
TEST(UsbAdapterLatency, ReadsWithoutWaitOrRetrySucceedWhenTheReplyStarts16MsLate)
{
    const auto sim = OpenOnDriveSim({"--station", "1", "--baud", "115200", "--pace", "--latency", "16"}, 3);
    int failed = 0;
    for (int read = 0; read < 300; ++read)
        failed += LinkReadRegisters(1, 0x00, 0x00, 0x00, 64, 0, 0) == 1 ? 0 : 1;
    EXPECT_EQ(failed, 0);
    ResetLinkState();
}

INSTANTIATE_TEST_SUITE_P(Rates, PacedDrive, ::testing::Values(Rate{19200, 0}, Rate{115200, 3}),
                         [](const ::testing::TestParamInfo<Rate>& info) { return std::to_string(info.param.baud); });
