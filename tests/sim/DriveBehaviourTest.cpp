// What the drive does behind its registers: EEPROM save, factory reset,
// auto tuning and internal positioning.

#include "DriveHarness.h"
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace simtest;
using drivesim::EepromFile;
namespace fs = std::filesystem;

namespace {

DriveHarness driveWith(std::vector<const char*> args)
{
    args.insert(args.begin(), "drivesim");
    drivesim::SimOptions o;
    std::string error;
    EXPECT_EQ(drivesim::SimOptions::parse(static_cast<int>(args.size()), args.data(), o, error),
              drivesim::SimOptions::Outcome::Run) << error;
    return DriveHarness(o.drive, o.line);
}

void expectRegisters(DriveHarness& d, std::initializer_list<std::pair<uint16_t, int>> expected)
{
    for (const auto& [address, value] : expected)
        EXPECT_EQ(d.readRegister(address), value) << "register " << address;
}

}  // namespace

TEST(Eeprom, SavedValuesSurviveRestartOnlyWhenTheSaveWorked)
{
    const fs::path dir = fs::temp_directory_path() / ("drivesim-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const EepromFile file((dir / "drive.eeprom").string());
    ASSERT_EQ(DriveHarness({}, {}, &file).writeRegister(0x10, 77), 0);
    EXPECT_FALSE(file.load().image.has_value());  // no save, no file
    {
        DriveHarness d({}, {}, &file);
        ASSERT_EQ(d.writeRegister(0x10, 77), 0);
        ASSERT_EQ(d.writeRegister(0xCA, 4321), 0);  // point 2 position, low word
        ASSERT_EQ(d.writeRegister(0x81, 1), 0);
        EXPECT_EQ(d.readRegister(0x81), 1);
        ASSERT_EQ(d.writeRegister(0x10, 99), 0);  // after the save: RAM only
    }
    EXPECT_FALSE(fs::exists(file.path() + ".tmp"));
    const EepromFile::LoadResult loaded = file.load();
    ASSERT_TRUE(loaded.image.has_value()) << loaded.error;
    DriveHarness restarted({}, {}, &file, &*loaded.image);
    expectRegisters(restarted, {{0x10, 77}, {0xCA, 4321}});

    const EepromFile nowhere((dir / "missing" / "drive.eeprom").string());
    DriveHarness failing({}, {}, &nowhere);
    ASSERT_EQ(failing.writeRegister(0x81, 1), 0);
    EXPECT_EQ(failing.readRegister(0x81), 0);  // a failed save does not claim success
    fs::remove_all(dir);
}

TEST(FactoryReset, RestoresDefaultsOnlyWithServoOff)
{
    DriveHarness d = driveWith({"--station", "7"});
    ASSERT_EQ(d.writeRegister(0x10, 77), 0);
    ASSERT_EQ(d.writeCoil(38, true), 0);
    ASSERT_EQ(d.writeRegister(0x82, 1), 0);
    expectRegisters(d, {{0x82, 0}, {0x10, 77}});
    ASSERT_EQ(d.writeCoil(38, false), 0);
    ASSERT_EQ(d.writeRegister(0x82, 1), 0);
    expectRegisters(d, {{0x82, 1}, {0x10, 35}, {0x00, 7}});  // the drive's own station survives
}

TEST(AutoTuning, RunsOnlyWithServoOnAndSetsTheGains)
{
    DriveHarness d = driveWith({"--tune-ms", "1000", "--inertia", "480", "--mode", "6"});
    ASSERT_EQ(d.writeRegister(0x91, 6), 0);
    EXPECT_EQ(d.readRegister(0x91), 3);  // servo off
    ASSERT_EQ(d.writeCoil(38, true), 0);
    ASSERT_EQ(d.writeRegister(0x91, 6), 0);  // stiffness 5
    expectRegisters(d, {{0x91, 1}, {939, 6}});  // running, in AUTOGAIN
    d.runFor(1100000);
    expectRegisters(d, {{0x91, 2}, {0x10, 59}, {0x11, 43}, {0x12, 26}, {0x14, 57}, {0x20, 480}, {939, 0}});
}

TEST(InternalPositioning, PointRunReachesItsTarget)
{
    DriveHarness d = driveWith({"--mode", "6"});
    ASSERT_EQ(d.request("01 10 00 CC 00 02 04 30 39 00 00").size(), 8u);  // point 3 := 12345
    ASSERT_EQ(d.writeCoil(38, true), 0);
    EXPECT_EQ(d.readCoil(4), 1);
    ASSERT_EQ(d.writeCoil(39, true), 0);  // point 3 is index 2 on coils 42, 39, 37, 34
    ASSERT_EQ(d.writeCoil(35, true), 0);
    d.runFor(5000);
    EXPECT_EQ(d.readCoil(4), 0);
    d.runFor(3000000);
    EXPECT_EQ(d.readCoil(4), 1);
    expectRegisters(d, {{180, 12345}, {181, 0}});
}
