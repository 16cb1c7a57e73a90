// Internal positioning: points started from the inputs, software limits,
// the electronic gear, the speed cap and homing in its three modes with
// creep speed, bump torque and time, the on-position delay and the offset
// that skips the gear.

#include "DriveHarness.h"
#include "StreamDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace simtest;

namespace {

using drivesim::reg::kPosition;
using drivesim::reg::kFeedbackSum;
using drivesim::reg::kHomeReference;
using drivesim::reg::kHomingMode;
using drivesim::reg::kHomingOffset;
using drivesim::reg::kHomingSpeed;
using drivesim::reg::kCreepSpeed;
using drivesim::reg::kOnPositionDelay;
using drivesim::reg::kTargetSpeed;
using drivesim::reg::kBumpTorque;
using drivesim::reg::kBumpTime;
using drivesim::reg::kSoftLimitPositive;
using drivesim::reg::kSoftLimitNegative;
using drivesim::reg::kHomingOptions;
constexpr uint16_t kStatus = drivesim::reg::kStatusWord;
constexpr uint16_t kHome = drivesim::reg::kHomingCommand;

// An extended drive in the absolute internal-position mode, servo on.
DriveHarness positioning(const char* gearNumerator = "0x46=1")
{
    return DriveHarness::withOptions(
        {"--mode", "6", "--extended", "--baud", "115200", "--set", gearNumerator, "--set", "0x4B=1"});
}

void powerUp(DriveHarness& d) { switchServoOn(d, 10000); }

void setPair(DriveHarness& d, uint16_t low, int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    setAll(d, {{low, static_cast<uint16_t>(v & 0xFFFF)}, {static_cast<uint16_t>(low + 1), static_cast<uint16_t>(v >> 16)}});
}

bool anyWithin(const std::vector<int>& values, int low, int high)
{
    return std::any_of(values.begin(), values.end(), [&](int v) { return v >= low && v <= high; });
}

}  // namespace

TEST(InternalPositioning, PointRunReachesItsTarget)
{
    DriveHarness d = positioning();
    ASSERT_EQ(d.request("01 10 00 CC 00 02 04 30 39 00 00").size(), 8u);  // point 3 := 12345
    powerUp(d);
    EXPECT_EQ(d.readCoil(4), 1);
    ASSERT_EQ(d.writeCoil(39, true), 0);  // point 3 is index 2 on coils 42, 39, 37, 34
    ASSERT_EQ(d.writeCoil(35, true), 0);
    d.runFor(5000);
    EXPECT_EQ(d.readCoil(4), 0);
    d.runFor(3000000);
    EXPECT_EQ(d.readCoil(4), 1);
    expectRegisters(d, {{kPosition, 12345}, {kPosition + 1, 0}});
}

TEST(InternalPositioning, MovesAndJogsStopAtTheSoftwareLimits)
{
    DriveHarness d = positioning();
    powerUp(d);
    setPair(d, kSoftLimitPositive, 20000);
    setPair(d, kSoftLimitNegative, -3000);
    setAll(d, {{kTargetSpeed, 2000}, {0x57, 1000}});
    setPair(d, kPosition, 50000);
    d.runFor(1500000);
    EXPECT_NEAR(d.readPair(kPosition), 20000, 10);
    EXPECT_EQ(d.readRegister(kStatus), 7);  // stopped at a limit
    setPair(d, kPosition, 5000);
    d.runFor(1500000);
    EXPECT_NEAR(d.readPair(kPosition), 5000, 10);
    EXPECT_EQ(d.readRegister(kStatus), 5);  // on target
    ASSERT_EQ(d.writeRegister(2001, 0x1000 | 2000), 0);  // 2 s down at 1000 rpm: 33333 pulses
    d.runFor(2500000);
    EXPECT_NEAR(d.readPair(kPosition), -3000, 10);
    EXPECT_EQ(d.readRegister(kStatus), 7);
    // Limits that leave no travel, such as a cleared block's 0 and 0, are off.
    setPair(d, kSoftLimitPositive, 0);
    setPair(d, kSoftLimitNegative, 0);
    setPair(d, kPosition, 30000);
    d.runFor(1500000);
    EXPECT_NEAR(d.readPair(kPosition), 30000, 10);
    EXPECT_EQ(d.readRegister(kStatus), 5);
}

TEST(InternalPositioning, GearScalesPositionsAndTheSpeedIsCapped)
{
    DriveHarness d = positioning("0x46=2");  // two encoder pulses a command unit
    powerUp(d);
    setAll(d, {{kTargetSpeed, 8000}, {0x58, 20}, {0x59, 20}});
    const std::vector<int> speed = channel(scope(d, 4, 1500, [&] {
        return d.request("01 10 00 B4 00 02 04 0D 40 00 03");  // 200000
    }), Speed);
    d.runFor(500000);
    EXPECT_NEAR(d.readPair(kPosition), 200000, 5);
    EXPECT_NEAR(d.readPair(kFeedbackSum), 400000, 10);
    const int fastest = *std::max_element(speed.begin(), speed.end());
    EXPECT_GT(fastest, 4900);
    EXPECT_LT(fastest, 5100);  // 8000 rpm asked, 5000 the drive's maximum
}

TEST(Homing, EachModeFindsItsHomeAndMovesOnByTheOffset)
{
    struct Row {
        uint16_t mode;
        int32_t feedbackLeast, feedbackMost;  // encoder pulses travelled in all
    };
    // The machine starts 5000 pulses above the switch's edge and 55000 above the stop.
    const Row rows[] = {{0, -5000 + 1000 - 30, -5000 + 1000 + 30}, {1, -55000 + 1000 - 100, -55000 + 1000 + 30},
                        {2, 1000 - 5, 1000 + 5}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        DriveHarness d = positioning();
        powerUp(d);
        setAll(d, {{kHomingMode, r.mode}, {kHomingSpeed, 300}, {kCreepSpeed, 300}, {kBumpTorque, 50}, {kBumpTime, 50}});
        setPair(d, kHomingOffset, 1000);
        ASSERT_EQ(d.writeRegister(kStatus, kHome), 0);
        EXPECT_EQ(d.readRegister(kStatus), 2);
        d.runFor(3000000);
        EXPECT_EQ(d.readRegister(kStatus), 3);
        EXPECT_NEAR(d.readPair(kPosition), 0, 5);
        EXPECT_NEAR(d.readPair(kHomeReference), 1000, 5);  // counted from the home found
        const int32_t travelled = d.readPair(kFeedbackSum);
        EXPECT_GE(travelled, r.feedbackLeast);
        EXPECT_LE(travelled, r.feedbackMost);
    }
}

TEST(Homing, CreepSpeedAndBumpTorqueShowOnTheScope)
{
    DriveHarness d = positioning();
    powerUp(d);
    setAll(d, {{kHomingMode, 0}, {kHomingSpeed, 500}, {kCreepSpeed, 40}});
    std::vector<Sample> seen = scope(d, 12, 1500, [&] { return d.sendWrite(kStatus, kHome); });
    const std::vector<int> speed = channel(seen, Speed);
    EXPECT_TRUE(anyWithin(speed, -505, -400));  // down toward the switch at the homing speed
    EXPECT_GT(std::count_if(speed.begin(), speed.end(), [](int v) { return v >= 38 && v <= 42; }), 100);  // off it creeping

    setAll(d, {{kHomingMode, 1}, {kCreepSpeed, 300}, {kBumpTorque, 80}, {kBumpTime, 100}});
    seen = scope(d, 12, 2500, [&] { return d.sendWrite(kStatus, kHome); });
    const std::vector<int> torque = channel(seen, Torque);
    // Pushing into the stop with the bump torque, no more, for the bump time.
    EXPECT_GE(std::count(torque.begin(), torque.end(), -800), 90);
    const auto pushed = std::find(torque.rbegin(), torque.rend(), -800).base();
    EXPECT_EQ(*std::min_element(torque.begin(), pushed), -800);
    EXPECT_EQ(d.readRegister(kStatus), 3);
}

TEST(Homing, OnPositionDelayAndTheOffsetThatSkipsTheGear)
{
    struct Row {
        uint16_t options;
        int32_t reference;  // encoder pulses from the switch's edge
    };
    for (const Row& r : {Row{0, 2000}, Row{1, 1000}}) {
        SCOPED_TRACE(r.options);
        DriveHarness d = positioning("0x46=2");
        powerUp(d);
        setAll(d, {{kHomingMode, 2}, {kOnPositionDelay, 300}, {kHomingOptions, r.options}});
        setPair(d, kHomingOffset, 1000);
        ASSERT_EQ(d.writeRegister(kStatus, kHome), 0);
        d.runFor(400000);
        EXPECT_EQ(d.readRegister(kStatus), 2);  // arrived, but the on-position delay runs
        EXPECT_EQ(d.readCoil(4), 0);
        d.runFor(300000);
        EXPECT_EQ(d.readRegister(kStatus), 3);
        EXPECT_EQ(d.readCoil(4), 1);
        EXPECT_NEAR(d.readPair(kHomeReference), r.reference, 5);
    }
}
