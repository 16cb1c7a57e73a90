// The program's link against drivesim behind a USB adapter's latency timer
// (--usb-batch 16): a read of 64 registers at 115200 still succeeds.

#include "tests/link/LinkTestBed.h"
#include "tests/support/DriveSimProcess.h"

#include "link/LinkPort.h"
#include "link/LinkRequests.h"

TEST(UsbAdapterThroughTheLink, ReadsSixtyFourRegistersAt115200)
{
    ResetLinkState();
    DriveSimProcess sim({"--station", "3", "--baud", "115200", "--pace", "--usb-batch", "16"});
    ASSERT_TRUE(sim.ok()) << "drivesim did not start: " << DriveSimProcess::programPath();
    MapOnlyPort(1, sim.portPath());
    linkState().portHandle = OpenLinkPort(1, 3);
    ASSERT_TRUE(platform::isOpenHandle(linkState().portHandle));
    for (int read = 0; read < 3; ++read) {
        ASSERT_EQ(LinkReadRegisters(3, 0x00, 0x00, 0x00, 64, 200, 1), 1) << "read " << read;
        EXPECT_EQ(linkState().lastReadReply[2], 128);
        EXPECT_EQ(linkState().lastReadReply[4], 3);  // Pr.00 holds the station
    }
    ResetLinkState();
}
