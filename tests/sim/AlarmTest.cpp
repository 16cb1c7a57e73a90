// Alarms while the drive runs: at a set time and from what the drive sees; history, servo off, clearing.

#include "DriveHarness.h"

#include <functional>

using namespace simtest;

namespace {

constexpr uint16_t kHistory = kAlarmCurrent + 1;
constexpr int kBrakeReleased = 0, kAlarmClearInput = 40;

void pulseAlarmClear(DriveHarness& d)
{
    ASSERT_EQ(d.writeCoil(kAlarmClearInput, true), 0);
    ASSERT_EQ(d.writeCoil(kAlarmClearInput, false), 0);
}

}  // namespace

// Catches --alarm-at raised late or early, a history not pushed, a servo left on, or a clear that fails.
TEST(Alarms, ScheduledAlarmPushesTheHistoryAndTurnsTheServoOff)
{
    DriveHarness d = DriveHarness::withOptions({"--alarm-at", "500=12", "--alarm-at", "800=26", "--history", "5,6"});
    switchServoOn(d, 480000 - 1000);
    expectRegisters(d, {{kAlarmCurrent, 0}, {kHistory, 5}});
    EXPECT_EQ(d.readCoil(kBrakeReleased), 1);
    d.runFor(20000);
    expectRegisters(d, {{kAlarmCurrent, 12}, {kHistory, 12}, {kHistory + 1, 5}, {kHistory + 2, 6}});
    EXPECT_EQ(d.readCoil(kBrakeReleased), 0);  // the servo is off
    EXPECT_EQ(d.readCoil(3), 1);               // the alarm output
    EXPECT_EQ(d.readCoil(2), 0);               // not ready
    pulseAlarmClear(d);
    EXPECT_EQ(d.readRegister(kAlarmCurrent), 0);
    EXPECT_EQ(d.readCoil(kBrakeReleased), 1);  // the servo-on input is still on
    d.runFor(300000);
    expectRegisters(d, {{kAlarmCurrent, 26}, {kHistory, 26}, {kHistory + 1, 12}, {kHistory + 2, 5}});
}

// Catches a condition (limit travel, over-speed, following error) that raises no alarm, or one raised when its check is off.
TEST(Alarms, ConditionsRaiseTheirOwn)
{
    const std::vector<const char*> positioning{"--mode", "6", "--set", "0x46=1", "--set", "0x4B=1"};
    const auto lagging = [](DriveHarness& d) {
        setAll(d, {{0x10, 1}, {0x15, 0}, {0x63, 100}, {kTargetSpeed, 3000}});  // gain 1/s, a limit of 100 x 256 pulses
        d.request("01 10 00 B4 00 02 04 40 42 0F 00");                        // far away
    };
    const struct {
        const char* name;
        std::vector<const char*> options;
        std::function<void(DriveHarness&)> provoke;
        int code;
    } rows[] = {
        {"travel into the CCW limit", positioning,
         [](DriveHarness& d) {
             d.writeCoil(33, true);
             d.request("01 10 00 B4 00 02 04 27 10 00 00");  // to 10000
         },
         38},
        {"over-speed", {"--pulse-rate", "1200000", "--set", "0x46=1", "--set", "0x4B=1"}, [](DriveHarness&) {}, 26},
        {"following error out of bounds", positioning, lagging, 24},
        {"following error with its check off (Pr.64 = 1)", positioning,
         [&](DriveHarness& d) {
             setAll(d, {{0x64, 1}});
             lagging(d);
         },
         0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        DriveHarness d = DriveHarness::withOptions(r.options);
        switchServoOn(d);
        r.provoke(d);
        d.runFor(1500000);
        expectRegisters(d, {{kAlarmCurrent, r.code}, {kHistory, r.code}});
        EXPECT_EQ(d.readCoil(kBrakeReleased), r.code ? 0 : 1);
    }
}

// Catches both limit inputs that raise no alarm, or a clear that succeeds while both are still on.
TEST(Alarms, BothLimitInputsTripAndHoldTheAlarmUntilOneIsReleased)
{
    DriveHarness d;
    ASSERT_EQ(d.writeCoil(32, true), 0);
    EXPECT_EQ(d.readRegister(kAlarmCurrent), 0);
    ASSERT_EQ(d.writeCoil(33, true), 0);
    EXPECT_EQ(d.readRegister(kAlarmCurrent), 38);
    pulseAlarmClear(d);
    EXPECT_EQ(d.readRegister(kAlarmCurrent), 38);  // the cause is still there
    ASSERT_EQ(d.writeCoil(33, false), 0);
    pulseAlarmClear(d);
    EXPECT_EQ(d.readRegister(kAlarmCurrent), 0);
    expectRegisters(d, {{kHistory, 38}, {kHistory + 1, 0}});  // raised once
}
