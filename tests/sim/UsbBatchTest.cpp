// A USB adapter between the drive and the tool (--usb-batch): the drive's
// output reaches the tool in 62-byte packets at once, the rest only when the
// latency timer ticks; nothing is lost or reordered.

#include "DriveHarness.h"

#include <gtest/gtest.h>

using namespace simtest;
using testsupport::hex;
using testsupport::withCrc;

TEST(UsbAdapter, DeliversFullPacketsAtOnceAndTheRestOnTheTimersTick)
{
    struct Row {
        const char* request;
        size_t replyBytes;
    };
    const Row rows[] = {{"01 03 00 00 00 40", 133}, {"01 06 00 10 00 30", 8}, {"01 03 00 00 00 7D", 255}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.request);
        drivesim::DriveSimulator::LineSettings line;
        line.baud = 115200;
        line.paced = true;
        line.usbBatchMs = 16;
        DriveHarness d({}, line);
        const Bytes request = withCrc(hex(r.request));
        Bytes arrived = d.send(request);
        size_t atTicks = 0;
        for (int ms = 0; ms < 60; ++ms) {
            const Bytes chunk = d.runFor(1000);
            if (chunk.empty())
                continue;
            const bool onTick = d.nowUs % 16000 == 0;
            EXPECT_TRUE(chunk.size() == 62 || onTick) << chunk.size() << " bytes at " << d.nowUs;
            atTicks += onTick ? 1 : 0;
            arrived = arrived + chunk;
        }
        ASSERT_EQ(arrived.size(), r.replyBytes);
        EXPECT_EQ(withCrc(Bytes(arrived.begin(), arrived.end() - 2)), arrived);  // whole and in order
        EXPECT_GE(atTicks, 1u);  // the tail waited for the timer
    }
}
