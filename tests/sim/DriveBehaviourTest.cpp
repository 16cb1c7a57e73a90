// What the drive does behind its registers: EEPROM and factory reset, auto
// tuning, alarms, I/O and pulse sums, identification, internal positioning.

#include "DriveHarness.h"
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace simtest;
using drivesim::DriveRegisters;
using drivesim::EepromFile;
namespace fs = std::filesystem;

namespace {

drivesim::SimOptions optionsFor(std::initializer_list<const char*> args)
{
    std::vector<const char*> argv{"drivesim"};
    argv.insert(argv.end(), args.begin(), args.end());
    drivesim::SimOptions options;
    std::string error;
    EXPECT_EQ(drivesim::SimOptions::parse(static_cast<int>(argv.size()), argv.data(), options, error),
              drivesim::SimOptions::Outcome::Run) << error;
    return options;
}

DriveRegisters::Config configFor(std::initializer_list<const char*> args) { return optionsFor(args).drive; }

DriveHarness driveWith(std::initializer_list<const char*> args)
{
    const drivesim::SimOptions o = optionsFor(args);
    return DriveHarness(o.drive, o.line);
}

int32_t read32(DriveHarness& d, uint16_t low)
{
    return static_cast<int32_t>((uint32_t(d.readRegister(low + 1)) << 16) | uint32_t(d.readRegister(low)));
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("drivesim-test-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

}  // namespace

TEST(Eeprom, ValuesSurviveRestartOnlyAfterSave)
{
    TempDir dir;
    const EepromFile file((dir.path / "drive.eeprom").string());
    {
        DriveHarness d({}, {}, &file);
        ASSERT_EQ(d.writeRegister(0x10, 77), 0);
        ASSERT_EQ(d.writeRegister(0xCA, 4321), 0);  // point 2 position, low word
    }
    EXPECT_FALSE(file.load().image.has_value());  // no save, no file
    {
        DriveHarness d({}, {}, &file);
        ASSERT_EQ(d.writeRegister(0x10, 77), 0);
        ASSERT_EQ(d.writeRegister(0xCA, 4321), 0);
        ASSERT_EQ(d.writeRegister(0x81, 1), 0);
        EXPECT_EQ(d.readRegister(0x81), 1);
        ASSERT_EQ(d.writeRegister(0x10, 99), 0);  // after the save: RAM only
    }
    EXPECT_FALSE(fs::exists(file.path() + ".tmp"));
    const EepromFile::LoadResult loaded = file.load();
    ASSERT_TRUE(loaded.image.has_value()) << loaded.error;
    DriveHarness restarted({}, {}, &file, &*loaded.image);
    EXPECT_EQ(restarted.readRegister(0x10), 77);
    EXPECT_EQ(restarted.readRegister(0xCA), 4321);
}

TEST(Eeprom, FailedSaveReadsBackZeroAndMalformedFileIsRefused)
{
    TempDir dir;
    const EepromFile unwritable((dir.path / "missing" / "drive.eeprom").string());
    DriveHarness d({}, {}, &unwritable);
    ASSERT_EQ(d.writeRegister(0x81, 1), 0);
    EXPECT_EQ(d.readRegister(0x81), 0);

    const fs::path bad = dir.path / "bad.eeprom";
    std::ofstream(bad) << "16 35\nnot a line\n";
    const EepromFile::LoadResult result = EepromFile(bad.string()).load();
    EXPECT_FALSE(result.image.has_value());
    EXPECT_NE(result.error.find("line 2"), std::string::npos);
    EepromFile::Image image;
    std::string error;
    EXPECT_FALSE(EepromFile::parse("16 70000\n", image, error));
    EXPECT_FALSE(EepromFile::parse("16 35 9\n", image, error));
    EXPECT_TRUE(EepromFile::parse("# comment\n\n16 -5\r\n", image, error));
    EXPECT_EQ(image[16], 0xFFFB);
}

TEST(FactoryReset, RestoresDefaultsOnlyWithServoOff)
{
    DriveHarness d(configFor({"--station", "7"}));
    ASSERT_EQ(d.writeRegister(0x10, 77), 0);
    ASSERT_EQ(d.writeCoil(38, true), 0);
    ASSERT_EQ(d.writeRegister(0x82, 1), 0);
    EXPECT_EQ(d.readRegister(0x82), 0);
    EXPECT_EQ(d.readRegister(0x10), 77);
    ASSERT_EQ(d.writeCoil(38, false), 0);
    ASSERT_EQ(d.writeRegister(0x82, 1), 0);
    EXPECT_EQ(d.readRegister(0x82), 1);
    EXPECT_EQ(d.readRegister(0x10), 35);
    EXPECT_EQ(d.readRegister(0x00), 7);  // the drive's own station survives
}

TEST(AutoTuning, RunsToSuccessWithGainsOfTheStiffness)
{
    DriveHarness d(configFor({"--tune-ms", "1000", "--inertia", "480", "--mode", "6"}));
    ASSERT_EQ(d.writeRegister(0x91, 6), 0);
    EXPECT_EQ(d.readRegister(0x91), 3);  // servo off
    ASSERT_EQ(d.writeCoil(38, true), 0);
    ASSERT_EQ(d.writeRegister(0x91, 6), 0);  // stiffness 5
    EXPECT_EQ(d.readRegister(0x91), 1);
    EXPECT_EQ(d.readRegister(939), 6);  // AUTOGAIN
    d.runFor(500000);
    const int midway = d.readRegister(0x20);
    EXPECT_GT(midway, 100);
    EXPECT_LT(midway, 480);
    d.runFor(600000);
    EXPECT_EQ(d.readRegister(0x91), 2);
    EXPECT_EQ(d.readRegister(0x10), 59);
    EXPECT_EQ(d.readRegister(0x11), 43);
    EXPECT_EQ(d.readRegister(0x12), 26);
    EXPECT_EQ(d.readRegister(0x14), 57);
    EXPECT_EQ(d.readRegister(0x20), 480);
    EXPECT_EQ(d.readRegister(939), 0);
    EXPECT_EQ(d.writeRegister(0x91, 17), 3);
}

TEST(AutoTuning, ErrorOptionAndServoOffEndTheRun)
{
    DriveHarness failing(configFor({"--tune-ms", "100", "--tune-error", "4"}));
    ASSERT_EQ(failing.writeCoil(38, true), 0);
    ASSERT_EQ(failing.writeRegister(0x91, 1), 0);
    failing.runFor(200000);
    EXPECT_EQ(failing.readRegister(0x91), 4);
    EXPECT_EQ(failing.readRegister(0x20), 100);  // inertia left as it was

    DriveHarness interrupted(configFor({"--tune-ms", "1000"}));
    ASSERT_EQ(interrupted.writeCoil(38, true), 0);
    ASSERT_EQ(interrupted.writeRegister(0x91, 1), 0);
    ASSERT_EQ(interrupted.writeCoil(38, false), 0);
    interrupted.runFor(10000);
    EXPECT_EQ(interrupted.readRegister(0x91), 3);
}

TEST(Alarms, CurrentHistoryAndAlarmClear)
{
    DriveHarness d(configFor({"--alarm", "12", "--history", "12,16,99"}));
    EXPECT_EQ(d.readRegister(899), 12);
    EXPECT_EQ(d.readRegister(900), 12);
    EXPECT_EQ(d.readRegister(902), 99);
    EXPECT_EQ(d.readRegister(915), 0);
    ASSERT_EQ(d.writeCoil(38, true), 0);
    EXPECT_EQ(d.readCoil(0), 0);  // no brake release: an alarm keeps the servo off
    EXPECT_EQ(d.readCoil(2), 0);
    EXPECT_EQ(d.readCoil(3), 1);
    ASSERT_EQ(d.writeCoil(40, true), 0);
    EXPECT_EQ(d.readRegister(899), 0);
    EXPECT_EQ(d.readRegister(900), 12);
    EXPECT_EQ(d.readCoil(0), 1);
    EXPECT_EQ(d.readCoil(2), 1);
}

TEST(PulseSums, CountWhileServoOnAndZeroWhenWritten)
{
    DriveHarness d;
    d.runFor(100000);
    EXPECT_EQ(read32(d, 924), 0);
    ASSERT_EQ(d.writeCoil(38, true), 0);
    d.runFor(100000);
    const int32_t command = read32(d, 924);
    EXPECT_GT(command, 1000);
    EXPECT_EQ(d.request("01 10 03 9C 00 01 02 00 00").size(), 8u);
    EXPECT_LT(read32(d, 924), 100);
    EXPECT_GE(read32(d, 926), command);
    // The gain-switch input toggles with time.
    const int before = d.readCoil(36);
    d.runFor(2000000);
    EXPECT_NE(d.readCoil(36), before);
}

TEST(Identification, AnswerLayoutsOfNewerAndOlderFirmware)
{
    DriveHarness newer(configFor({"--model", "VR-101", "--station", "2"}));
    const Bytes a = newer.request("02 11");
    ASSERT_EQ(a.size(), 34u);
    EXPECT_EQ(std::string(a.begin() + 12, a.begin() + 18), "VR-101");
    EXPECT_EQ(newer.readRegister(0x1F), 2);
    EXPECT_EQ(testsupport::withCrc(Bytes(a.begin(), a.end() - 2)), a);

    DriveHarness older(configFor({"--model", "vr_003"}));
    const Bytes b = older.request("01 11");
    ASSERT_EQ(b.size(), 28u);
    EXPECT_EQ(std::string(b.begin() + 18, b.begin() + 24), "vr_003");
    EXPECT_EQ(testsupport::withCrc(Bytes(b.begin(), b.end() - 2)), b);

    EXPECT_EQ(DriveHarness(configFor({"--model", "zt_201"})).readRegister(0x1F), 0);
    EXPECT_EQ(DriveHarness(configFor({"--model", "Vr_C01"})).readRegister(0x1F), 14);
}

TEST(InternalPositioning, AbsoluteAndRelativePointRuns)
{
    DriveHarness abs(configFor({"--mode", "6"}));
    EXPECT_EQ(abs.readRegister(939), 0);
    ASSERT_EQ(abs.request("01 10 00 CC 00 02 04 30 39 00 00").size(), 8u);  // point 3 := 12345
    ASSERT_EQ(abs.writeCoil(38, true), 0);
    EXPECT_EQ(abs.readCoil(4), 1);
    ASSERT_EQ(abs.writeCoil(39, true), 0);  // select point 3: index 2 on coils 42, 39, 37, 34
    ASSERT_EQ(abs.writeCoil(35, true), 0);
    abs.runFor(5000);
    EXPECT_EQ(abs.readCoil(4), 0);
    EXPECT_EQ(abs.readRegister(2002), -1);  // no extended features on this drive
    abs.runFor(3000000);
    EXPECT_EQ(abs.readCoil(4), 1);
    EXPECT_EQ(read32(abs, 180), 12345);

    DriveHarness rel(configFor({"--mode", "7"}));
    ASSERT_EQ(rel.request("01 10 00 C8 00 02 04 FC 18 FF FF").size(), 8u);  // point 1 := -1000
    ASSERT_EQ(rel.writeCoil(38, true), 0);
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(rel.writeCoil(35, false), 0);
        ASSERT_EQ(rel.writeCoil(35, true), 0);
        rel.runFor(2000000);
    }
    EXPECT_EQ(read32(rel, 180), -2000);
}

TEST(InternalPositioning, HomingJogAndHomeReferenceWithExtendedFeatures)
{
    DriveHarness d(configFor({"--mode", "6", "--extended", "--set", "1201=1500"}));
    EXPECT_EQ(d.readRegister(151), 0x20);
    EXPECT_EQ(d.readRegister(2002), 0);  // not ready: servo off
    ASSERT_EQ(d.writeRegister(2002, 0x401), 0);
    ASSERT_EQ(d.writeRegister(2003, 0x400), 0);
    EXPECT_EQ(d.readRegister(2003), 0x401);
    ASSERT_EQ(d.writeRegister(2002, 0x801), 0);
    d.runFor(5000);
    EXPECT_EQ(d.readRegister(2002), 2);
    d.runFor(10000000);
    EXPECT_EQ(d.readRegister(2002), 3);
    EXPECT_EQ(read32(d, 180), 0);
    EXPECT_EQ(read32(d, 941), 1500);  // counted from the home switch
    ASSERT_EQ(d.writeRegister(2001, 0x8000 | 500), 0);  // pulse jog +500
    d.runFor(1000000);
    EXPECT_EQ(read32(d, 180), 500);
    EXPECT_EQ(read32(d, 941), 2000);
    ASSERT_EQ(d.writeRegister(941, 0), 0);
    EXPECT_EQ(read32(d, 941), 0);
    ASSERT_EQ(d.writeRegister(2002, 0x400), 0);
    EXPECT_EQ(d.readRegister(2003), 0x400);
    EXPECT_EQ(d.writeRegister(2002, 0x123), 3);
}

TEST(Options, RejectsBadValues)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--station", "0"}, {"--baud", "12345"}, {"--drop", "1.5"}, {"--model", "TOOLONGCODE"},
        {"--history", "1,2,300"}, {"--tune-error", "2"}, {"--set", "16"}, {"--frobnicate"}, {"--seed"}};
    for (const auto& args : bad) {
        std::vector<const char*> argv{"drivesim"};
        argv.insert(argv.end(), args.begin(), args.end());
        drivesim::SimOptions options;
        std::string error;
        EXPECT_EQ(drivesim::SimOptions::parse(static_cast<int>(argv.size()), argv.data(), options, error),
                  drivesim::SimOptions::Outcome::Error) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(LineFaults, DropCorruptExtraByteAndSilence)
{
    const std::string request = "01 03 00 00 00 01";
    const Bytes good = testsupport::withCrc(testsupport::hex("01 03 02 00 01"));
    EXPECT_TRUE(driveWith({"--drop", "1"}).request(request).empty());
    const Bytes corrupt = driveWith({"--corrupt", "1"}).request(request);
    ASSERT_EQ(corrupt.size(), good.size());
    EXPECT_NE(corrupt, good);
    const Bytes longer = driveWith({"--extra-byte", "1"}).request(request);
    ASSERT_EQ(longer.size(), good.size() + 1);
    EXPECT_TRUE(std::equal(good.begin(), good.end(), longer.begin()));

    DriveHarness silent = driveWith({"--silent-after", "2"});
    EXPECT_EQ(silent.request(request), good);
    EXPECT_EQ(silent.request(request), good);
    EXPECT_TRUE(silent.request(request).empty());
    EXPECT_TRUE(silent.request("01 06 00 90 00 01").empty());
    EXPECT_TRUE(silent.runFor(20000).empty());  // no stream from a dead drive either
}

TEST(LineFaults, SameSeedSameFaults)
{
    const auto pattern = [](const char* seed) {
        DriveHarness d = driveWith({"--drop", "0.5", "--seed", seed});
        std::string lost;
        for (int i = 0; i < 64; ++i)
            lost += d.request("01 03 00 00 00 01").empty() ? '1' : '0';
        return lost;
    };
    EXPECT_EQ(pattern("7"), pattern("7"));
    EXPECT_NE(pattern("7"), pattern("8"));
}
