// Internal positioning: points, software limits, the gear, the speed cap, and homing in its three modes.

#include "StreamDecoder.h"

using namespace simtest;

// Catches point inputs decoded wrongly or a point run that stops short of its target.
TEST(InternalPositioning, PointRunReachesItsTarget)
{
    DriveHarness d = positioningDrive();
    ASSERT_EQ(d.request("01 10 00 CC 00 02 04 30 39 00 00").size(), 8u);  // point 3 := 12345
    switchServoOn(d);
    EXPECT_EQ(d.readCoil(4), 1);
    ASSERT_EQ(d.writeCoil(39, true), 0);  // point 3 is index 2 on coils 42, 39, 37, 34
    ASSERT_EQ(d.writeCoil(35, true), 0);
    d.runFor(5000);
    EXPECT_EQ(d.readCoil(4), 0);
    d.runFor(3000000);
    EXPECT_EQ(d.readCoil(4), 1);
    expectRegisters(d, {{kPosition, 12345}, {kPosition + 1, 0}});
}

// Catches moves and jogs that run through a software limit, and a 0/0 block taken as limits.
TEST(InternalPositioning, MovesAndJogsStopAtTheSoftwareLimits)
{
    DriveHarness d = positioningDrive();
    switchServoOn(d);
    setAll(d, {{kTargetSpeed, 2000}, {0x57, 1000}});
    const struct {
        int32_t positive, negative, target;
        uint16_t jog;  // a jog word instead of a target
        int32_t reached;
        int status;  // 7 stopped at a limit, 5 on target
    } steps[] = {{20000, -3000, 50000, 0, 20000, 7},
                 {20000, -3000, 5000, 0, 5000, 5},
                 {20000, -3000, 0, 0x1000 | 2000, -3000, 7},  // 2 s down at 1000 rpm: 33333 pulses
                 {0, 0, 30000, 0, 30000, 5}};                  // no travel left: limits off
    for (const auto& s : steps) {
        SCOPED_TRACE(s.target);
        d.writePair(kSoftLimitPositive, s.positive);
        d.writePair(kSoftLimitNegative, s.negative);
        if (s.jog)
            ASSERT_EQ(d.writeRegister(kJogWord, s.jog), 0);
        else
            d.writePair(kPosition, s.target);
        d.runFor(2500000);
        EXPECT_NEAR(d.readPair(kPosition), s.reached, 10);
        EXPECT_EQ(d.readRegister(kStatusWord), s.status);
    }
}

// Catches a gear that does not scale positions and a move faster than the drive's maximum speed.
TEST(InternalPositioning, GearScalesPositionsAndTheSpeedIsCapped)
{
    DriveHarness d = positioningDrive(2);  // two encoder pulses a command unit
    switchServoOn(d);
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

// Catches a homing mode that finds the wrong home, ignores its offset, or never ends.
TEST(Homing, EachModeFindsItsHomeAndMovesOnByTheOffset)
{
    struct Row {
        uint16_t mode;
        int32_t feedbackLeast, feedbackMost;  // encoder pulses travelled in all
    };
    // The machine starts 5000 pulses above the switch's edge and 55000 above the stop.
    for (const Row& r : {Row{0, -5000 + 1000 - 30, -5000 + 1000 + 30}, Row{1, -55000 + 1000 - 100, -55000 + 1000 + 30},
                         Row{2, 1000 - 5, 1000 + 5}}) {
        SCOPED_TRACE(r.mode);
        DriveHarness d = positioningDrive();
        switchServoOn(d);
        setAll(d, {{kHomingMode, r.mode}, {kHomingSpeed, 300}, {kCreepSpeed, 300}, {kBumpTorque, 50}, {kBumpTime, 50}});
        d.writePair(kHomingOffset, 1000);
        ASSERT_EQ(d.writeRegister(kStatusWord, kHomingCommand), 0);
        EXPECT_EQ(d.readRegister(kStatusWord), 2);
        d.runFor(3000000);
        EXPECT_EQ(d.readRegister(kStatusWord), 3);
        EXPECT_NEAR(d.readPair(kPosition), 0, 5);
        EXPECT_NEAR(d.readPair(kHomeReference), 1000, 5);  // counted from the home found
        const int32_t travelled = d.readPair(kFeedbackSum);
        EXPECT_GE(travelled, r.feedbackLeast);
        EXPECT_LE(travelled, r.feedbackMost);
    }
}

// Catches homing that ignores its creep speed, pushes harder than the bump torque or not for the bump time.
TEST(Homing, CreepSpeedAndBumpTorqueShowOnTheScope)
{
    DriveHarness d = positioningDrive();
    switchServoOn(d);
    setAll(d, {{kHomingMode, 0}, {kHomingSpeed, 500}, {kCreepSpeed, 40}});
    const auto home = [&] { return d.sendWrite(kStatusWord, kHomingCommand); };
    const std::vector<int> speed = channel(scope(d, 12, 1500, home), Speed);
    EXPECT_TRUE(std::any_of(speed.begin(), speed.end(), [](int v) { return v >= -505 && v <= -400; }));  // homing speed
    EXPECT_GT(std::count_if(speed.begin(), speed.end(), [](int v) { return v >= 38 && v <= 42; }), 100);  // off it creeping

    setAll(d, {{kHomingMode, 1}, {kCreepSpeed, 300}, {kBumpTorque, 80}, {kBumpTime, 100}});
    const std::vector<int> torque = channel(scope(d, 12, 2500, home), Torque);
    // Pushing into the stop with the bump torque, no more, for the bump time.
    EXPECT_GE(std::count(torque.begin(), torque.end(), -800), 90);
    const auto pushed = std::find(torque.rbegin(), torque.rend(), -800).base();
    EXPECT_EQ(*std::min_element(torque.begin(), pushed), -800);
    EXPECT_EQ(d.readRegister(kStatusWord), 3);
}

// Catches homing that ends before its on-position delay, and an offset scaled by the gear when told to skip it.
TEST(Homing, OnPositionDelayAndTheOffsetThatSkipsTheGear)
{
    for (const auto& [options, reference] : {std::pair{0, 2000}, std::pair{1, 1000}}) {  // pulses from the edge
        SCOPED_TRACE(options);
        DriveHarness d = positioningDrive(2);
        switchServoOn(d);
        setAll(d, {{kHomingMode, 2}, {kOnPositionDelay, 300}, {kHomingOptions, uint16_t(options)}});
        d.writePair(kHomingOffset, 1000);
        ASSERT_EQ(d.writeRegister(kStatusWord, kHomingCommand), 0);
        d.runFor(400000);
        EXPECT_EQ(d.readRegister(kStatusWord), 2);  // arrived, but the on-position delay runs
        EXPECT_EQ(d.readCoil(4), 0);
        d.runFor(300000);
        EXPECT_EQ(d.readRegister(kStatusWord), 3);
        EXPECT_EQ(d.readCoil(4), 1);
        EXPECT_NEAR(d.readPair(kHomeReference), reference, 5);
    }
}
