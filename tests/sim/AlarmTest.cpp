// Alarms while the drive runs: at a set time, and from what the drive sees
// (both limit inputs, travel into a limit, over-speed, a following error out
// of bounds). A new alarm pushes the history, turns the servo off and stops
// the machine; the alarm-clear input clears it once its cause is gone.

#include "DriveHarness.h"

#include <gtest/gtest.h>

#include <functional>

using namespace simtest;

namespace {

constexpr uint16_t kAlarm = 899, kHistory = 900;
constexpr int kBrakeReleased = 0, kAlarmOutput = 3, kServoOnInput = 38, kAlarmClearInput = 40;

void pulseAlarmClear(DriveHarness& d)
{
    ASSERT_EQ(d.writeCoil(kAlarmClearInput, true), 0);
    ASSERT_EQ(d.writeCoil(kAlarmClearInput, false), 0);
}

}  // namespace

TEST(Alarms, ScheduledAlarmPushesTheHistoryAndTurnsTheServoOff)
{
    DriveHarness d = DriveHarness::withOptions({"--alarm-at", "500=12", "--alarm-at", "800=26", "--history", "5,6"});
    ASSERT_EQ(d.writeCoil(kServoOnInput, true), 0);
    d.runFor(480000);
    expectRegisters(d, {{kAlarm, 0}, {kHistory, 5}});
    EXPECT_EQ(d.readCoil(kBrakeReleased), 1);
    d.runFor(20000);
    expectRegisters(d, {{kAlarm, 12}, {kHistory, 12}, {kHistory + 1, 5}, {kHistory + 2, 6}});
    EXPECT_EQ(d.readCoil(kBrakeReleased), 0);  // the servo is off
    EXPECT_EQ(d.readCoil(kAlarmOutput), 1);
    EXPECT_EQ(d.readCoil(2), 0);  // not ready
    pulseAlarmClear(d);
    EXPECT_EQ(d.readRegister(kAlarm), 0);
    EXPECT_EQ(d.readCoil(kBrakeReleased), 1);  // the servo-on input is still on
    d.runFor(300000);
    expectRegisters(d, {{kAlarm, 26}, {kHistory, 26}, {kHistory + 1, 12}, {kHistory + 2, 5}});
}

TEST(Alarms, ConditionsRaiseTheirOwn)
{
    struct Row {
        const char* name;
        std::vector<const char*> options;
        std::function<void(DriveHarness&)> provoke;
        uint8_t code;
    };
    const std::vector<const char*> positioning{"--mode", "6", "--set", "0x46=1", "--set", "0x4B=1"};
    const Row rows[] = {
        {"travel into the CCW limit", positioning,
         [](DriveHarness& d) {
             d.writeCoil(33, true);
             d.request("01 10 00 B4 00 02 04 27 10 00 00");  // to 10000
         },
         38},
        {"over-speed", {"--pulse-rate", "1200000", "--set", "0x46=1", "--set", "0x4B=1"}, [](DriveHarness&) {}, 26},
        {"following error out of bounds", positioning,
         [](DriveHarness& d) {
             // Position gain 1/s against a limit of 100 x 256 pulses.
             setAll(d, {{0x10, 1}, {0x15, 0}, {0x63, 100}, {1214, 3000}});
             d.request("01 10 00 B4 00 02 04 40 42 0F 00");  // far away
         },
         24},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        DriveHarness d = DriveHarness::withOptions(r.options);
        ASSERT_EQ(d.writeCoil(kServoOnInput, true), 0);
        d.runFor(10000);
        r.provoke(d);
        d.runFor(1500000);
        expectRegisters(d, {{kAlarm, r.code}, {kHistory, r.code}});
        EXPECT_EQ(d.readCoil(kBrakeReleased), 0);
    }
    // With the following error check off (Pr.64 = 1) a lagging axis trips nothing.
    DriveHarness unchecked = DriveHarness::withOptions(positioning);
    ASSERT_EQ(unchecked.writeCoil(kServoOnInput, true), 0);
    setAll(unchecked, {{0x64, 1}});
    rows[2].provoke(unchecked);
    unchecked.runFor(1500000);
    EXPECT_EQ(unchecked.readRegister(kAlarm), 0);
}

TEST(Alarms, BothLimitInputsTripAndHoldTheAlarmUntilOneIsReleased)
{
    DriveHarness d;
    ASSERT_EQ(d.writeCoil(32, true), 0);
    EXPECT_EQ(d.readRegister(kAlarm), 0);
    ASSERT_EQ(d.writeCoil(33, true), 0);
    EXPECT_EQ(d.readRegister(kAlarm), 38);
    pulseAlarmClear(d);
    EXPECT_EQ(d.readRegister(kAlarm), 38);  // the cause is still there
    ASSERT_EQ(d.writeCoil(33, false), 0);
    pulseAlarmClear(d);
    EXPECT_EQ(d.readRegister(kAlarm), 0);
    expectRegisters(d, {{kHistory, 38}, {kHistory + 1, 0}});  // raised once
}
