// The drive's state: busy EEPROM saves, factory values, restart-marked parameters, power cycles,
// alarms while it runs, and auto tuning by drive class.

#include "StreamDecoder.h"
#include "tests/platform/TempFolder.h"

#include <functional>

using namespace simtest;
using drivesim::EepromFile;
namespace fs = std::filesystem;

// Catches a save value refused (the Pr.1F repair writes 0-14), a save done without its busy time, or RAM saved.
TEST(EepromSave, AnyValueSavesAndReadsOneOnlyOnceTheBusyTimeHasPassed)
{
    for (const uint16_t command : {1, 7, 14, 0}) {
        SCOPED_TRACE(command);
        DriveHarness d = DriveHarness::withOptions({"--save-ms", "80"});
        ASSERT_EQ(d.writeRegister(0x10, 77), 0);
        ASSERT_EQ(d.writeRegister(kEepromSave, command), 0);
        EXPECT_EQ(d.readRegister(kEepromSave), 0);  // busy
        d.runFor(70000);
        EXPECT_EQ(d.readRegister(kEepromSave), 0);  // still busy after 72 ms
        d.runFor(10000);
        EXPECT_EQ(d.readRegister(kEepromSave), 1);
        ASSERT_EQ(d.writeRegister(0x10, 99), 0);  // after the save: RAM only
        d.sim.powerCycle();
        EXPECT_EQ(d.readRegister(0x10), 77);
    }
}

// Catches a file written before the busy time, a leftover temporary, and a failed write reported as a save.
TEST(EepromSave, FileKeepsTheSavedImageAndAFailedWriteReadsZero)
{
    const testing_files::TempFolder dir;
    const EepromFile file(dir.file("drive.eeprom")), nowhere(dir.file("missing/drive.eeprom"));
    {
        DriveHarness d({}, {}, &file);
        setAll(d, {{0x10, 77}, {0xCA, 4321}, {kEepromSave, 1}});  // 0xCA: point 2 position, low word
        EXPECT_FALSE(fs::exists(file.path()));                   // nothing is written before the busy time ends
        d.runFor(60000);
        EXPECT_EQ(d.readRegister(kEepromSave), 1);
    }
    EXPECT_FALSE(fs::exists(file.path() + ".tmp"));
    const EepromFile::LoadResult loaded = file.load();
    ASSERT_TRUE(loaded.image.has_value()) << loaded.error;
    DriveHarness restarted({}, {}, &file, &*loaded.image);
    expectRegisters(restarted, {{0x10, 77}, {0xCA, 4321}});

    DriveHarness failing({}, {}, &nowhere);
    setAll(failing, {{0x10, 55}, {kEepromSave, 1}});
    failing.runFor(60000);
    EXPECT_EQ(failing.readRegister(kEepromSave), 0);  // a failed save does not claim success
    failing.sim.powerCycle();
    EXPECT_EQ(failing.readRegister(0x10), 35);  // and the EEPROM kept what it had
}

// Catches a power cycle that keeps RAM values or a save cut short, the stream, or the servo on; a control mode
// (restart-marked) that acts at once, or survives a power cycle unsaved.
TEST(PowerCycle, LosesRamStopsTheStreamTurnsTheServoOffAndAppliesTheControlMode)
{
    DriveHarness d = DriveHarness::withOptions({"--set", "0x1F=5", "--mode", "6"});
    setAll(d, {{0x11, 44}, {kEepromSave, 1}});  // saved while the save below is lost
    d.runFor(60000);
    setAll(d, {{0x12, 33}, {0x02, 1}, {kEepromSave, 1}});
    switchServoOn(d, 0);
    ASSERT_EQ(d.writeRegister(kChannelSelect, 4), 0);
    ASSERT_FALSE(d.runFor(20000).empty());
    expectRegisters(d, {{0x02, 1}, {kActiveMode, 0}});  // the register changes, the drive does not
    d.sim.powerCycle();  // within the busy time of the second save
    EXPECT_TRUE(d.runFor(20000).empty());
    expectRegisters(d, {{0x11, 44}, {0x12, 16}, {0x1F, 5}, {kChannelSelect, 0}, {kEepromSave, 0}, {0x02, 6}, {kActiveMode, 0}});
    EXPECT_EQ(d.readCoil(38), 0);
    EXPECT_EQ(d.readCoil(0), 0);  // brake held: servo off
    setAll(d, {{0x02, 1}, {kEepromSave, 1}});
    d.runFor(60000);
    EXPECT_EQ(d.readRegister(kActiveMode), 0);
    d.sim.powerCycle();
    expectRegisters(d, {{0x02, 1}, {kActiveMode, 3}});  // velocity control

    DriveHarness timed = DriveHarness::withOptions({"--power-cycle-after", "100"});
    ASSERT_EQ(timed.writeRegister(0x11, 44), 0);
    timed.runFor(90000);
    EXPECT_EQ(timed.readRegister(0x11), 44);
    timed.runFor(10000);
    EXPECT_EQ(timed.readRegister(0x11), 36);  // the factory value again
}

// Catches a factory reset that moves the station or mode at once, or is done while the servo is on.
TEST(FactoryReset, KeepsTheActiveStationAndModeUntilThePowerCycleAndWaitsForServoOff)
{
    DriveHarness d = DriveHarness::withOptions({"--station", "7", "--mode", "6"});
    // A direct write of Pr.00 takes effect right after its answer.
    EXPECT_EQ(d.request("07 06 00 00 00 03"), withCrc(hex("07 06 00 00 00 03")));
    EXPECT_TRUE(d.request("07 03 00 00 00 01").empty());
    ASSERT_EQ(d.sim.registers().station(), 3);
    setAll(d, {{0x10, 77}, {0x02, 1}});
    switchServoOn(d, 0);
    ASSERT_EQ(d.writeRegister(kFactoryReset, 1), 0);
    d.runFor(60000);
    expectRegisters(d, {{kFactoryReset, 0}, {0x10, 77}});  // refused while the servo is on
    ASSERT_EQ(d.writeCoil(38, false), 0);

    ASSERT_EQ(d.writeRegister(kFactoryReset, 1), 0);
    EXPECT_EQ(d.readRegister(kFactoryReset), 0);  // busy writing the EEPROM
    d.runFor(60000);
    // New values in the registers, old behaviour: still station 3, still ABS.
    expectRegisters(d, {{kFactoryReset, 1}, {0x00, 7}, {0x02, 6}, {0x10, 35}, {kActiveMode, 0}});
    d.sim.powerCycle();
    EXPECT_EQ(d.sim.registers().station(), 7);
    expectRegisters(d, {{0x00, 7}, {0x10, 35}, {kActiveMode, 0}});
}

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
