// A USB adapter between the drive and the tool (--usb-batch): 62-byte packets or the latency timer's tick.

#include "DriveHarness.h"

using namespace simtest;

// Catches output sent byte by byte, partial packets before the timer's tick, and lost or reordered bytes.
TEST(UsbAdapter, DeliversFullPacketsAtOnceAndTheRestOnTheTimersTick)
{
    for (const auto& [request, replyBytes] :
         {std::pair{"01 03 00 00 00 40", 133}, {"01 06 00 10 00 30", 8}, {"01 03 00 00 00 7D", 255}}) {
        SCOPED_TRACE(request);
        DriveHarness d = DriveHarness::withOptions({"--baud", "115200", "--pace", "--usb-batch", "16"});
        Bytes arrived = d.request(request);
        size_t atTicks = 0;
        for (int ms = 0; ms < 60; ++ms) {
            const Bytes chunk = d.runFor(1000);
            const bool onTick = d.nowUs % 16000 == 0;
            EXPECT_TRUE(chunk.empty() || chunk.size() == 62 || onTick) << chunk.size() << " bytes at " << d.nowUs;
            atTicks += !chunk.empty() && onTick ? 1 : 0;
            arrived = arrived + chunk;
        }
        ASSERT_EQ(arrived.size(), size_t(replyBytes));
        EXPECT_EQ(withCrc(Bytes(arrived.begin(), arrived.end() - 2)), arrived);  // whole and in order
        EXPECT_GE(atTicks, 1u);  // the tail waited for the timer
    }
}
