// The drive's auto tuning: offered from drive class 2 on, a run that turns the motor, the runs that fail.

#include "StreamDecoder.h"

using namespace simtest;

// Catches tuning offered by a model of drive class 0 or 1 (they answer exception 02).
TEST(AutoTuning, OfferedOnlyFromDriveClassTwo)
{
    for (const auto& [model, tunes] : {std::pair{"VR-006", false}, {"VR-101", false}, {"Vr_201", false}, {"vr_003", false},
                                      {"VR-005", false}, {"XYZ", false}, {"VR-007", true}, {"VR-B01", true},
                                      {"VR-008", true}, {"Qm-001", true}, {"Zt-201", true}}) {
        SCOPED_TRACE(model);
        DriveHarness d = DriveHarness::withOptions({"--model", model});
        EXPECT_EQ(d.readRegister(kTuning), tunes ? 0 : -1);
        switchServoOn(d, 0);
        EXPECT_EQ(d.writeRegister(kTuning, 6), tunes ? 0 : 2);
    }
}

// Catches a run that does not move the motor, refuses no servo-off start, or leaves part of the gain set.
TEST(AutoTuning, RunTurnsTheMotorBackAndForthAndLeavesTheWholeGainSet)
{
    DriveHarness d = DriveHarness::withOptions({"--tune-ms", "1000", "--inertia", "480", "--baud", "115200"});
    ASSERT_EQ(d.writeRegister(kTuning, 6), 0);
    EXPECT_EQ(d.readRegister(kTuning), 3);  // servo off: nothing to measure
    switchServoOn(d, 0);
    const std::vector<int> speed = channel(scope(d, 4, 900, [&] { return d.sendWrite(kTuning, 6); }), Speed);  // stiffness 5
    EXPECT_GT(*std::max_element(speed.begin(), speed.end()), 300);
    EXPECT_LT(*std::min_element(speed.begin(), speed.end()), -300);
    expectRegisters(d, {{kTuning, 1}, {kActiveMode, 6}});  // running, in AUTOGAIN
    d.runFor(200000);
    expectRegisters(d, {{kTuning, 2}, {kActiveMode, 2},
                        // first and second gains, detection filters, the inertia ratio found
                        {0x10, 59}, {0x11, 43}, {0x12, 26}, {0x13, 3}, {0x14, 57}, {0x18, 59}, {0x19, 43},
                        {0x1A, 26}, {0x1B, 3}, {0x1C, 57}, {0x20, 480},
                        // feed-forward and gain switching
                        {0x15, 300}, {0x16, 50}, {0x30, 1}, {0x31, 10}, {0x32, 30}, {0x33, 50}, {0x34, 33},
                        {0x35, 20}, {0x36, 0}, {0x3A, 0}});
}

// Catches --tune-fail-at, a limit input, a servo-off or an alarm during a run that do not end it in error.
TEST(AutoTuning, RunEndsInAnErrorOnALimitInputAndOnTheChosenRun)
{
    DriveHarness d = DriveHarness::withOptions({"--tune-ms", "500", "--tune-fail-at", "2"});
    ASSERT_EQ(d.writeRegister(0x20, 100), 0);
    switchServoOn(d, 0);
    const auto run = [&](uint16_t coil, bool on, int status) {
        ASSERT_EQ(d.writeRegister(kTuning, 1), 0);
        d.runFor(100000);
        if (coil) {
            ASSERT_EQ(d.writeCoil(coil, on), 0);
        }
        d.runFor(coil ? 10000 : 500000);
        EXPECT_EQ(d.readRegister(kTuning), status);
    };
    run(0, false, 2);
    run(0, false, 4);  // --tune-fail-at 2
    ASSERT_EQ(d.writeRegister(0x20, 100), 0);
    run(32, true, 4);  // CW limit during the run
    EXPECT_EQ(d.readRegister(0x20), 100);  // the inertia ratio is left as it was
    ASSERT_EQ(d.writeCoil(32, false), 0);
    run(38, false, 3);  // servo off in mid-run

    DriveHarness alarmed = DriveHarness::withOptions({"--tune-ms", "1000", "--alarm-at", "300=16"});
    switchServoOn(alarmed, 0);
    ASSERT_EQ(alarmed.writeRegister(kTuning, 1), 0);
    alarmed.runFor(400000);
    EXPECT_EQ(alarmed.readRegister(kTuning), 4);  // an alarm during the run
}
