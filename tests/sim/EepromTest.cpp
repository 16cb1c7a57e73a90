// The drive's EEPROM: busy saves, factory values and restart-marked parameters, power cycles.

#include "DriveHarness.h"
#include "tests/platform/TempFolder.h"

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

// Catches a power cycle that keeps RAM values or a save cut short, the stream, or the servo on.
TEST(PowerCycle, LosesRamStopsTheStreamAndTurnsTheServoOff)
{
    DriveHarness d = DriveHarness::withOptions({"--set", "0x1F=5"});
    setAll(d, {{0x11, 44}, {kEepromSave, 1}});  // saved while the save below is lost
    d.runFor(60000);
    setAll(d, {{0x12, 33}, {kEepromSave, 1}});
    switchServoOn(d, 0);
    ASSERT_EQ(d.writeRegister(kChannelSelect, 4), 0);
    ASSERT_FALSE(d.runFor(20000).empty());
    d.sim.powerCycle();  // within the busy time of the second save
    EXPECT_TRUE(d.runFor(20000).empty());
    expectRegisters(d, {{0x11, 44}, {0x12, 16}, {0x1F, 5}, {kChannelSelect, 0}, {kEepromSave, 0}});
    EXPECT_EQ(d.readCoil(38), 0);
    EXPECT_EQ(d.readCoil(0), 0);  // brake held: servo off

    DriveHarness timed = DriveHarness::withOptions({"--power-cycle-after", "100"});
    ASSERT_EQ(timed.writeRegister(0x11, 44), 0);
    timed.runFor(90000);
    EXPECT_EQ(timed.readRegister(0x11), 44);
    timed.runFor(10000);
    EXPECT_EQ(timed.readRegister(0x11), 36);  // the factory value again
}

// Catches a control mode (restart-marked) that acts at once, or survives a power cycle unsaved.
TEST(RestartMarked, ControlModeTakesEffectAtTheNextPowerUp)
{
    DriveHarness d = DriveHarness::withOptions({"--mode", "6"});
    ASSERT_EQ(d.writeRegister(0x02, 1), 0);
    expectRegisters(d, {{0x02, 1}, {kActiveMode, 0}});  // the register changes, the drive does not
    d.sim.powerCycle();
    expectRegisters(d, {{0x02, 6}, {kActiveMode, 0}});  // not saved: lost
    setAll(d, {{0x02, 1}, {kEepromSave, 1}});
    d.runFor(60000);
    EXPECT_EQ(d.readRegister(kActiveMode), 0);
    d.sim.powerCycle();
    expectRegisters(d, {{0x02, 1}, {kActiveMode, 3}});  // velocity control
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
