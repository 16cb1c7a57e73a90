// The drive's auto tuning: offered from drive class 2 on, a run that turns
// the motor and leaves the whole gain set, and the runs that fail.

#include "DriveHarness.h"
#include "StreamDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace simtest;

namespace {

constexpr uint16_t kTuning = 0x91;

}  // namespace

TEST(AutoTuning, OfferedOnlyFromDriveClassTwo)
{
    struct Row {
        const char* model;
        bool tunes;
    };
    const Row rows[] = {{"VR-006", false}, {"VR-101", false}, {"Vr_201", false}, {"vr_003", false}, {"VR-005", false},
                        {"XYZ", false},    {"VR-007", true},  {"VR-B01", true},  {"VR-008", true},  {"Qm-001", true},
                        {"Zt-201", true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.model);
        DriveHarness d = DriveHarness::withOptions({"--model", r.model});
        EXPECT_EQ(d.readRegister(kTuning), r.tunes ? 0 : -1);
        ASSERT_EQ(d.writeCoil(38, true), 0);
        EXPECT_EQ(d.writeRegister(kTuning, 6), r.tunes ? 0 : 2);  // exception 02: no such register
    }
}

TEST(AutoTuning, RunTurnsTheMotorBackAndForthAndLeavesTheWholeGainSet)
{
    DriveHarness d = DriveHarness::withOptions({"--tune-ms", "1000", "--inertia", "480", "--baud", "115200"});
    ASSERT_EQ(d.writeRegister(kTuning, 6), 0);
    EXPECT_EQ(d.readRegister(kTuning), 3);  // servo off: nothing to measure
    ASSERT_EQ(d.writeCoil(38, true), 0);
    const std::vector<int> speed = channel(scope(d, 4, 900, [&] { return d.sendWrite(kTuning, 6); }), Speed);  // stiffness 5
    EXPECT_GT(*std::max_element(speed.begin(), speed.end()), 300);
    EXPECT_LT(*std::min_element(speed.begin(), speed.end()), -300);
    expectRegisters(d, {{kTuning, 1}, {939, 6}});  // running, in AUTOGAIN
    d.runFor(200000);
    expectRegisters(d, {{kTuning, 2}, {939, 2},
                        // first and second gains, detection filters, the inertia ratio found
                        {0x10, 59}, {0x11, 43}, {0x12, 26}, {0x13, 3}, {0x14, 57}, {0x18, 59}, {0x19, 43},
                        {0x1A, 26}, {0x1B, 3}, {0x1C, 57}, {0x20, 480},
                        // feed-forward and gain switching
                        {0x15, 300}, {0x16, 50}, {0x30, 1}, {0x31, 10}, {0x32, 30}, {0x33, 50}, {0x34, 33},
                        {0x35, 20}, {0x36, 0}, {0x3A, 0}});
}

TEST(AutoTuning, RunEndsInAnErrorOnALimitInputAndOnTheChosenRun)
{
    DriveHarness d = DriveHarness::withOptions({"--tune-ms", "500", "--tune-fail-at", "2"});
    ASSERT_EQ(d.writeRegister(0x20, 100), 0);
    ASSERT_EQ(d.writeCoil(38, true), 0);
    const auto run = [&](uint16_t stiffness) {
        EXPECT_EQ(d.writeRegister(kTuning, stiffness), 0);
        d.runFor(600000);
        return d.readRegister(kTuning);
    };
    EXPECT_EQ(run(1), 2);
    EXPECT_EQ(run(1), 4);  // --tune-fail-at 2
    ASSERT_EQ(d.writeRegister(0x20, 100), 0);
    ASSERT_EQ(d.writeRegister(kTuning, 1), 0);
    d.runFor(100000);
    ASSERT_EQ(d.writeCoil(32, true), 0);  // CW limit during the run
    d.runFor(10000);
    expectRegisters(d, {{kTuning, 4}, {0x20, 100}});  // the inertia ratio is left as it was
    ASSERT_EQ(d.writeCoil(32, false), 0);
    ASSERT_EQ(d.writeRegister(kTuning, 1), 0);
    d.runFor(100000);
    ASSERT_EQ(d.writeCoil(38, false), 0);
    d.runFor(10000);
    EXPECT_EQ(d.readRegister(kTuning), 3);  // servo off in mid-run

    DriveHarness alarmed = DriveHarness::withOptions({"--tune-ms", "1000", "--alarm-at", "300=16"});
    ASSERT_EQ(alarmed.writeCoil(38, true), 0);
    ASSERT_EQ(alarmed.writeRegister(kTuning, 1), 0);
    alarmed.runFor(400000);
    EXPECT_EQ(alarmed.readRegister(kTuning), 4);  // an alarm during the run
}
