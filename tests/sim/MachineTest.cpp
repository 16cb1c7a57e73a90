// The drive's machine as the scope, the outputs and the pulse sums show it: jogs, moves, gains,
// resonance, internal positioning, software limits, the gear, the speed cap and homing.

#include "StreamDecoder.h"

#include <cmath>
#include <numeric>

using namespace simtest;

namespace {

// A 1000-rpm jog of 1.5 s as the scope's speed and torque channels show it.
std::vector<Sample> jog1000(DriveHarness& d)
{
    setAll(d, {{0x57, 1000}});
    return scope(d, 12, 1200, [&] { return d.sendWrite(kJogWord, 0x2000 | 1500); });
}

// A positioning drive, servo on, with these parameters; then a 1000-rpm jog's samples.
std::vector<Sample> jogWith(std::initializer_list<std::pair<uint16_t, uint16_t>> parameters)
{
    DriveHarness d = positioningDrive();
    switchServoOn(d, 20000);
    setAll(d, parameters);
    return jog1000(d);
}

// Mean size of the torque's second difference: how much it rattles.
double rattle(const std::vector<int>& torque, size_t from)
{
    double sum = 0;
    for (size_t i = from + 2; i < torque.size(); ++i)
        sum += std::abs(torque[i] - 2 * torque[i - 1] + torque[i - 2]);
    return sum / static_cast<double>(torque.size() - from - 2);
}

double mean(const std::vector<int>& v, size_t from)
{
    return std::accumulate(v.begin() + static_cast<std::ptrdiff_t>(from), v.end(), 0.0) / static_cast<double>(v.size() - from);
}

}  // namespace

// Catches test waves or noise streamed with the servo off and the motor at rest, a jog that misses its speed, or a
// torque that does not peak while accelerating.
TEST(Signals, ZeroAtRestThenAJogRisesToItsSpeedWithTheTorquePeakAtTheStart)
{
    DriveHarness d = positioningDrive();
    for (const int mask : {7, 8}) {
        const std::vector<Sample> resting = scope(d, mask, 200);
        ASSERT_GT(resting.size(), 150u) << mask;
        for (const Sample& s : resting)
            for (const auto& [which, value] : s)
                ASSERT_EQ(value, 0) << "mask " << mask << " channel " << which;
    }
    switchServoOn(d, 20000);
    const std::vector<Sample> samples = jog1000(d);
    ASSERT_GT(samples.size(), 1000u);
    const std::vector<int> speed = channel(samples, Speed), torque = channel(samples, Torque);
    EXPECT_LE(std::abs(speed[0]), 2);
    EXPECT_NEAR(mean(speed, 900), 1000, 5);
    const auto peak = std::max_element(torque.begin(), torque.end()) - torque.begin();
    const auto reached = std::find_if(speed.begin(), speed.end(), [](int v) { return v >= 900; }) - speed.begin();
    EXPECT_LT(peak, reached);  // the torque accelerates the machine, then only holds off friction
    EXPECT_GT(torque[static_cast<size_t>(peak)], 3 * mean(torque, 900));
}

// Catches an overshoot that ignores the position gain or the inertia ratio.
TEST(Signals, OvershootFollowsTheGainsAndTheInertiaRatio)
{
    struct Row {
        uint16_t positionGain, inertiaRatio;
        int least, most;  // rpm beyond the set 1000; the machine's load is 250 % of the motor's inertia
    };
    for (const Row& r : {Row{35, 250, 0, 3}, Row{150, 250, 1, 8}, Row{150, 100, 12, 40}}) {
        SCOPED_TRACE(r.positionGain * 100000 + r.inertiaRatio);
        const std::vector<int> speed = channel(
            jogWith({{0x10, r.positionGain}, {0x11, 35}, {0x12, 16}, {0x14, 65}, {0x15, 0}, {0x20, r.inertiaRatio}}), Speed);
        const int overshoot = *std::max_element(speed.begin(), speed.end()) - 1000;
        EXPECT_GE(overshoot, r.least);
        EXPECT_LE(overshoot, r.most);
    }
}

// Catches a resonance that is missing at high gain, or a notch filter (Pr.1D) that does not damp it.
TEST(Signals, HighGainSingsAtTheResonanceAndTheNotchCalmsIt)
{
    for (const uint16_t notchHz : {1600, 400}) {
        SCOPED_TRACE(notchHz);
        const std::vector<int> torque = channel(jogWith({{0x10, 115}, {0x11, 104}, {0x12, 17}, {0x14, 25}, {0x15, 0},
                                                         {0x20, 250}, {0x1D, notchHz}, {0x1E, 0}}), Torque);
        if (notchHz == 1600)  // the notch is off
            EXPECT_GT(rattle(torque, 700), 20.0);
        else
            EXPECT_LT(rattle(torque, 700), 2.0);
    }
}

// Catches an in-position output that ignores the following error or the Pr.60 window, a torque-limit output that
// never comes on, a zero-speed output blind to motion, and Pr.5E/Pr.61 ignored.
TEST(Outputs, InPositionTorqueLimitAndZeroSpeedFollowTheMachineAndTheirParameters)
{
    DriveHarness d = positioningDrive();
    switchServoOn(d, 20000);
    setAll(d, {{kTargetSpeed, 1000}, {0x60, 10}});
    EXPECT_EQ(d.readCoil(4), 1);
    EXPECT_EQ(d.readCoil(1), 1);
    EXPECT_EQ(d.readCoil(5), 0);
    const std::vector<int> deviation = channel(scope(d, 1, 300, [&] {
        return d.request("01 10 00 B4 00 02 04 86 A0 00 01");  // 100000
    }), Deviation);
    EXPECT_GT(*std::max_element(deviation.begin(), deviation.end()), 1000);  // a real following error
    EXPECT_EQ(d.readCoil(4), 0);
    d.runFor(1000000);
    EXPECT_EQ(d.readCoil(4), 1);
    EXPECT_NEAR(d.readPair(kPosition), 100000, 10);
    EXPECT_EQ(d.readRegister(kStatusWord), 5);  // on target

    // Stiff gains and 1 ms per 1000 rpm: more torque than the motor has.
    setAll(d, {{kTargetSpeed, 3000}, {0x58, 1}, {0x59, 1}, {0x10, 300}, {0x11, 80}, {0x15, 1000}});
    ASSERT_EQ(d.request("01 10 00 B4 00 02 04 0D 40 00 03").size(), 8u);  // 200000
    int limited = 0;
    for (int ms = 0; ms < 20; ++ms)
        limited += d.readCoil(5);
    EXPECT_GT(limited, 0);
    EXPECT_EQ(d.readCoil(1), 0);  // turning
    d.runFor(1500000);
    EXPECT_EQ(d.readCoil(5), 0);
    EXPECT_EQ(d.readCoil(1), 1);
    // A torque limit of 150 % (Pr.5E), a zero-speed level of 4000 rpm (Pr.61), on the way back.
    setAll(d, {{0x5E, 150}, {0x61, 4000}});
    const std::vector<int> torque = channel(scope(d, 8, 200, [&] {
        return d.request("01 10 00 B4 00 02 04 00 00 00 00");
    }), Torque);
    EXPECT_EQ(*std::min_element(torque.begin(), torque.end()), -1500);
    EXPECT_EQ(d.readCoil(1), 1);  // 3000 rpm is below the zero-speed level
}

// Catches a feedback sum that equals the command sum, ignores the gear, or never catches up.
TEST(PulseSums, CommandCountsHostPulsesFeedbackCountsTheEncoderThroughTheGear)
{
    // Position control by pulse train: 30 pulses a millisecond, gear 2:1.
    DriveHarness d = DriveHarness::withOptions({"--pulse-rate", "30000", "--set", "0x46=2", "--set", "0x4B=1"});
    switchServoOn(d, 500000);
    const int32_t command = d.readPair(kCommandSum), feedback = d.readPair(kFeedbackSum);
    EXPECT_NEAR(command, 15000, 100);
    EXPECT_LT(feedback, 2 * command - 100);  // the machine lags its command while it moves
    EXPECT_GT(feedback, 2 * command - 5000);
    ASSERT_EQ(d.writeCoil(42, true), 0);  // pulse inhibit: the command stops, the machine catches up
    d.runFor(500000);
    EXPECT_NEAR(d.readPair(kFeedbackSum), 2 * d.readPair(kCommandSum), 2);
}

// Catches a velocity mode that ignores C-MODE or turns at an invented speed.
TEST(VelocityControl, TurnsAtTheSelectedInternalSpeed)
{
    // Position/velocity control: the C-MODE input (coil 41) chooses velocity.
    DriveHarness d = DriveHarness::withOptions({"--mode", "3", "--set", "0x05=1", "--set", "0x53=600"});
    EXPECT_EQ(d.readRegister(kActiveMode), 2);
    ASSERT_EQ(d.writeCoil(41, true), 0);
    EXPECT_EQ(d.readRegister(kActiveMode), 3);
    switchServoOn(d, 500000);
    const int32_t before = d.readPair(kFeedbackSum);
    d.runFor(500000);
    EXPECT_NEAR(d.readPair(kFeedbackSum) - before, 50000, 500);  // 600 rpm: 10 revolutions a second
    EXPECT_EQ(d.readPair(kCommandSum), 0);
}

// Catches point inputs decoded wrongly, a point run that stops short, moves and jogs that run through a software
// limit, and a 0/0 block taken as limits.
TEST(InternalPositioning, PointRunThenMovesAndJogsStopAtTheSoftwareLimits)
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
    ASSERT_EQ(d.writeCoil(35, false), 0);
    ASSERT_EQ(d.writeCoil(39, false), 0);

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

// Catches a homing mode that finds the wrong home, ignores its offset or gear option, ends before its on-position delay.
TEST(Homing, EachModeFindsItsHomeAndMovesOnByTheOffset)
{
    struct Row {
        uint16_t mode, delayMs, options;  // options bit 0: the offset skips the gear
        int gear;
        int32_t feedbackLeast, feedbackMost, reference;  // encoder pulses travelled in all; from the home found
    };
    // The machine starts 5000 pulses above the switch's edge and 55000 above the stop.
    for (const Row& r : {Row{0, 0, 0, 1, -4030, -3970, 1000}, Row{1, 0, 0, 1, -54100, -53970, 1000},
                         Row{2, 0, 0, 1, 995, 1005, 1000}, Row{2, 300, 0, 2, 1990, 2010, 2000},
                         Row{2, 300, 1, 2, 990, 1010, 1000}}) {
        SCOPED_TRACE(r.mode * 100 + r.delayMs + r.options);
        DriveHarness d = positioningDrive(r.gear);
        switchServoOn(d);
        setAll(d, {{kHomingMode, r.mode}, {kHomingSpeed, 300}, {kCreepSpeed, 300}, {kBumpTorque, 50}, {kBumpTime, 50},
                   {kOnPositionDelay, r.delayMs}, {kHomingOptions, r.options}});
        d.writePair(kHomingOffset, 1000);
        ASSERT_EQ(d.writeRegister(kStatusWord, kHomingCommand), 0);
        EXPECT_EQ(d.readRegister(kStatusWord), 2);
        d.runFor(400000);
        if (r.delayMs) {
            EXPECT_EQ(d.readRegister(kStatusWord), 2);  // arrived, but the on-position delay runs
            EXPECT_EQ(d.readCoil(4), 0);
        }
        d.runFor(r.delayMs ? 300000 : 2600000);
        EXPECT_EQ(d.readRegister(kStatusWord), 3);
        EXPECT_EQ(d.readCoil(4), 1);
        EXPECT_NEAR(d.readPair(kPosition), 0, 5);
        EXPECT_NEAR(d.readPair(kHomeReference), r.reference, 5);
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
