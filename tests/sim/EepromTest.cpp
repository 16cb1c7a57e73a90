// The drive's EEPROM: saves that take their busy time, factory values that
// leave the active station and the restart-marked parameters in force until
// the next power-up, and what a power cycle keeps and loses.

#include "DriveHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace simtest;
using drivesim::EepromFile;
namespace fs = std::filesystem;

namespace {

constexpr uint16_t kSave = 0x81, kReset = 0x82, kActiveMode = 939;

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("drivesim-eeprom-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

}  // namespace

TEST(EepromSave, AnyValueSavesAndReadsOneOnlyOnceTheBusyTimeHasPassed)
{
    // The page writes 1; a Pr.1F repair writes the model's code (0-14).
    for (const uint16_t command : {1, 7, 14, 0}) {
        SCOPED_TRACE(command);
        DriveHarness d = DriveHarness::withOptions({"--save-ms", "80"});
        ASSERT_EQ(d.writeRegister(0x10, 77), 0);
        ASSERT_EQ(d.writeRegister(kSave, command), 0);
        EXPECT_EQ(d.readRegister(kSave), 0);  // busy
        d.runFor(70000);
        EXPECT_EQ(d.readRegister(kSave), 0);  // still busy after 72 ms
        d.runFor(10000);
        EXPECT_EQ(d.readRegister(kSave), 1);
        ASSERT_EQ(d.writeRegister(0x10, 99), 0);  // after the save: RAM only
        d.sim.powerCycle();
        EXPECT_EQ(d.readRegister(0x10), 77);
    }
}

TEST(EepromSave, FileKeepsTheSavedImageAndAFailedWriteReadsZero)
{
    TempDir dir;
    const EepromFile file((dir.path / "drive.eeprom").string());
    {
        DriveHarness d({}, {}, &file);
        ASSERT_EQ(d.writeRegister(0x10, 77), 0);
        ASSERT_EQ(d.writeRegister(0xCA, 4321), 0);  // point 2 position, low word
        ASSERT_EQ(d.writeRegister(kSave, 1), 0);
        EXPECT_FALSE(fs::exists(file.path()));  // nothing is written before the busy time ends
        d.runFor(60000);
        EXPECT_EQ(d.readRegister(kSave), 1);
    }
    EXPECT_FALSE(fs::exists(file.path() + ".tmp"));
    const EepromFile::LoadResult loaded = file.load();
    ASSERT_TRUE(loaded.image.has_value()) << loaded.error;
    DriveHarness restarted({}, {}, &file, &*loaded.image);
    expectRegisters(restarted, {{0x10, 77}, {0xCA, 4321}});

    const EepromFile nowhere((dir.path / "missing" / "drive.eeprom").string());
    DriveHarness failing({}, {}, &nowhere);
    ASSERT_EQ(failing.writeRegister(0x10, 55), 0);
    ASSERT_EQ(failing.writeRegister(kSave, 1), 0);
    failing.runFor(60000);
    EXPECT_EQ(failing.readRegister(kSave), 0);  // a failed save does not claim success
    failing.sim.powerCycle();
    EXPECT_EQ(failing.readRegister(0x10), 35);  // and the EEPROM kept what it had
}

TEST(PowerCycle, LosesRamStopsTheStreamAndTurnsTheServoOff)
{
    DriveHarness d = DriveHarness::withOptions({"--set", "0x1F=5"});
    ASSERT_EQ(d.writeRegister(0x11, 44), 0);
    ASSERT_EQ(d.writeRegister(kSave, 1), 0);  // saved while the save below is lost
    d.runFor(60000);
    ASSERT_EQ(d.writeRegister(0x12, 33), 0);
    ASSERT_EQ(d.writeRegister(kSave, 1), 0);
    ASSERT_EQ(d.writeCoil(38, true), 0);
    ASSERT_EQ(d.writeRegister(0x90, 4), 0);
    ASSERT_FALSE(d.runFor(20000).empty());
    d.sim.powerCycle();  // within the busy time of the second save
    EXPECT_TRUE(d.runFor(20000).empty());
    expectRegisters(d, {{0x11, 44}, {0x12, 16}, {0x1F, 5}, {0x90, 0}, {kSave, 0}});
    EXPECT_EQ(d.readCoil(38), 0);
    EXPECT_EQ(d.readCoil(0), 0);  // brake held: servo off

    DriveHarness timed = DriveHarness::withOptions({"--power-cycle-after", "100"});
    ASSERT_EQ(timed.writeRegister(0x11, 44), 0);
    timed.runFor(90000);
    EXPECT_EQ(timed.readRegister(0x11), 44);
    timed.runFor(10000);
    EXPECT_EQ(timed.readRegister(0x11), 36);  // the factory value again
}

TEST(RestartMarked, ControlModeTakesEffectAtTheNextPowerUp)
{
    DriveHarness d = DriveHarness::withOptions({"--mode", "6"});
    ASSERT_EQ(d.writeRegister(0x02, 1), 0);
    expectRegisters(d, {{0x02, 1}, {kActiveMode, 0}});  // the register changes, the drive does not
    d.sim.powerCycle();
    expectRegisters(d, {{0x02, 6}, {kActiveMode, 0}});  // not saved: lost
    ASSERT_EQ(d.writeRegister(0x02, 1), 0);
    ASSERT_EQ(d.writeRegister(kSave, 1), 0);
    d.runFor(60000);
    EXPECT_EQ(d.readRegister(kActiveMode), 0);
    d.sim.powerCycle();
    expectRegisters(d, {{0x02, 1}, {kActiveMode, 3}});  // velocity control
}

TEST(FactoryReset, KeepsTheActiveStationAndModeUntilThePowerCycle)
{
    DriveHarness d = DriveHarness::withOptions({"--station", "7", "--mode", "6"});
    // A direct write of Pr.00 takes effect right after its answer.
    EXPECT_EQ(d.request("07 06 00 00 00 03"), testsupport::withCrc(testsupport::hex("07 06 00 00 00 03")));
    EXPECT_TRUE(d.request("07 03 00 00 00 01").empty());
    ASSERT_EQ(d.sim.registers().station(), 3);
    ASSERT_EQ(d.writeRegister(0x10, 77), 0);
    ASSERT_EQ(d.writeRegister(0x02, 1), 0);

    ASSERT_EQ(d.writeRegister(kReset, 1), 0);
    EXPECT_EQ(d.readRegister(kReset), 0);  // busy writing the EEPROM
    d.runFor(60000);
    // New values in the registers, old behaviour: still station 3, still ABS.
    expectRegisters(d, {{kReset, 1}, {0x00, 7}, {0x02, 6}, {0x10, 35}, {kActiveMode, 0}});
    d.sim.powerCycle();
    EXPECT_EQ(d.sim.registers().station(), 7);
    expectRegisters(d, {{0x00, 7}, {0x10, 35}, {kActiveMode, 0}});
}

TEST(FactoryReset, RefusedWhileTheServoIsOn)
{
    DriveHarness d;
    ASSERT_EQ(d.writeRegister(0x10, 77), 0);
    ASSERT_EQ(d.writeCoil(38, true), 0);
    ASSERT_EQ(d.writeRegister(kReset, 1), 0);
    d.runFor(60000);
    expectRegisters(d, {{kReset, 0}, {0x10, 77}});
    ASSERT_EQ(d.writeCoil(38, false), 0);
    ASSERT_EQ(d.writeRegister(kReset, 1), 0);
    d.runFor(60000);
    expectRegisters(d, {{kReset, 1}, {0x10, 35}});
}
