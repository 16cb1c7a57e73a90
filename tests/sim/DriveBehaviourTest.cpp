// Internal positioning: points chosen on the inputs and started by the
// start input.

#include "DriveHarness.h"

#include <gtest/gtest.h>

using namespace simtest;


TEST(InternalPositioning, PointRunReachesItsTarget)
{
    DriveHarness d = DriveHarness::withOptions({"--mode", "6", "--set", "0x46=1", "--set", "0x4B=1"});
    ASSERT_EQ(d.request("01 10 00 CC 00 02 04 30 39 00 00").size(), 8u);  // point 3 := 12345
    ASSERT_EQ(d.writeCoil(38, true), 0);
    EXPECT_EQ(d.readCoil(4), 1);
    ASSERT_EQ(d.writeCoil(39, true), 0);  // point 3 is index 2 on coils 42, 39, 37, 34
    ASSERT_EQ(d.writeCoil(35, true), 0);
    d.runFor(5000);
    EXPECT_EQ(d.readCoil(4), 0);
    d.runFor(3000000);
    EXPECT_EQ(d.readCoil(4), 1);
    expectRegisters(d, {{180, 12345}, {181, 0}});
}
