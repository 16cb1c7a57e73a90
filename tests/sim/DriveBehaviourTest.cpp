// What the drive does behind its registers: EEPROM and factory reset, auto
// tuning, alarms, I/O and pulse sums, identification, internal positioning,
// its options and the line faults it can put on.

#include "DriveHarness.h"
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace simtest;
using drivesim::EepromFile;
using drivesim::SimOptions;
namespace fs = std::filesystem;

namespace {

SimOptions::Outcome parse(std::vector<const char*> args, SimOptions& options, std::string& error)
{
    args.insert(args.begin(), "drivesim");
    return SimOptions::parse(static_cast<int>(args.size()), args.data(), options, error);
}

DriveHarness driveWith(const std::vector<const char*>& args)
{
    SimOptions o;
    std::string error;
    EXPECT_EQ(parse(args, o, error), SimOptions::Outcome::Run) << error;
    return DriveHarness(o.drive, o.line);
}

using Expected = std::initializer_list<std::pair<uint16_t, int>>;
void expectRegisters(DriveHarness& d, Expected expected)
{
    for (const auto& [address, value] : expected)
        EXPECT_EQ(d.readRegister(address), value) << "register " << address;
}
void expectCoils(DriveHarness& d, Expected expected)
{
    for (const auto& [coil, value] : expected)
        EXPECT_EQ(d.readCoil(coil), value) << "coil " << coil;
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

TEST(Eeprom, SavedValuesSurviveRestartOnlyWhenTheSaveWorked)
{
    TempDir dir;
    const EepromFile file((dir.path / "drive.eeprom").string());
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

    const EepromFile nowhere((dir.path / "missing" / "drive.eeprom").string());
    DriveHarness failing({}, {}, &nowhere);
    ASSERT_EQ(failing.writeRegister(0x81, 1), 0);
    EXPECT_EQ(failing.readRegister(0x81), 0);  // a failed save does not claim success

    std::ofstream(dir.path / "bad.eeprom") << "16 35\nnot a line\n";
    const EepromFile::LoadResult bad = EepromFile((dir.path / "bad.eeprom").string()).load();
    EXPECT_TRUE(!bad.image && bad.error.find("line 2") != std::string::npos) << bad.error;
    EepromFile::Image image;
    std::string error;
    for (const char* text : {"16 70000\n", "16 35 9\n"})
        EXPECT_FALSE(EepromFile::parse(text, image, error)) << text;
    ASSERT_TRUE(EepromFile::parse("# comment\n\n16 -5\r\n", image, error)) << error;
    EXPECT_EQ(image[16], 0xFFFB);
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

TEST(AutoTuning, RunsToSuccessFailureOrServoOff)
{
    DriveHarness d = driveWith({"--tune-ms", "1000", "--inertia", "480", "--mode", "6"});
    ASSERT_EQ(d.writeRegister(0x91, 6), 0);
    EXPECT_EQ(d.readRegister(0x91), 3);  // servo off
    ASSERT_EQ(d.writeCoil(38, true), 0);
    ASSERT_EQ(d.writeRegister(0x91, 6), 0);  // stiffness 5
    expectRegisters(d, {{0x91, 1}, {939, 6}});  // running, in AUTOGAIN
    d.runFor(500000);
    const int midway = d.readRegister(0x20);
    EXPECT_TRUE(midway > 100 && midway < 480) << midway;
    d.runFor(600000);
    expectRegisters(d, {{0x91, 2}, {0x10, 59}, {0x11, 43}, {0x12, 26}, {0x14, 57}, {0x20, 480}, {939, 0}});
    EXPECT_EQ(d.writeRegister(0x91, 17), 3);

    DriveHarness failing = driveWith({"--tune-ms", "100", "--tune-error", "4"});
    DriveHarness interrupted = driveWith({"--tune-ms", "1000"});
    for (DriveHarness* run : {&failing, &interrupted}) {
        ASSERT_EQ(run->writeCoil(38, true), 0);
        ASSERT_EQ(run->writeRegister(0x91, 1), 0);
    }
    ASSERT_EQ(interrupted.writeCoil(38, false), 0);
    failing.runFor(200000);
    interrupted.runFor(10000);
    expectRegisters(failing, {{0x91, 4}, {0x20, 100}});  // inertia left as it was
    EXPECT_EQ(interrupted.readRegister(0x91), 3);
}

TEST(Alarms, CurrentHistoryAndAlarmClear)
{
    DriveHarness d = driveWith({"--alarm", "12", "--history", "12,16,99"});
    expectRegisters(d, {{899, 12}, {900, 12}, {902, 99}, {915, 0}});
    ASSERT_EQ(d.writeCoil(38, true), 0);
    expectCoils(d, {{0, 0}, {2, 0}, {3, 1}});  // the alarm keeps the servo off
    ASSERT_EQ(d.writeCoil(40, true), 0);
    expectRegisters(d, {{899, 0}, {900, 12}});
    expectCoils(d, {{0, 1}, {2, 1}});
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
    const int gainSwitch = d.readCoil(36);  // an input that toggles with time
    d.runFor(2000000);
    EXPECT_NE(d.readCoil(36), gainSwitch);
}

TEST(Identification, AnswerLayoutsOfNewerAndOlderFirmware)
{
    struct Case { const char* model; const char* station; const char* request; size_t size; long codeAt; };
    for (const Case& c : {Case{"VR-101", "2", "02 11", 34, 12}, Case{"vr_003", "1", "01 11", 28, 18}}) {
        DriveHarness d = driveWith({"--model", c.model, "--station", c.station});
        const Bytes a = d.request(c.request);
        ASSERT_EQ(a.size(), c.size) << c.model;
        EXPECT_EQ(std::string(a.begin() + c.codeAt, a.begin() + c.codeAt + 6), c.model);
        EXPECT_EQ(testsupport::withCrc(Bytes(a.begin(), a.end() - 2)), a);
    }
    for (const auto& [model, pr1f] : {std::pair{"VR-101", 2}, {"zt_201", 0}, {"Vr_C01", 14}})
        EXPECT_EQ(driveWith({"--model", model}).readRegister(0x1F), pr1f) << model;
}

TEST(InternalPositioning, PointRunsHomingAndJog)
{
    DriveHarness abs = driveWith({"--mode", "6"});
    ASSERT_EQ(abs.request("01 10 00 CC 00 02 04 30 39 00 00").size(), 8u);  // point 3 := 12345
    ASSERT_EQ(abs.writeCoil(38, true), 0);
    EXPECT_EQ(abs.readCoil(4), 1);
    ASSERT_EQ(abs.writeCoil(39, true), 0);  // point 3 is index 2 on coils 42, 39, 37, 34
    ASSERT_EQ(abs.writeCoil(35, true), 0);
    abs.runFor(5000);
    EXPECT_EQ(abs.readCoil(4), 0);
    EXPECT_EQ(abs.readRegister(2002), -1);  // no extended features on this drive
    abs.runFor(3000000);
    EXPECT_EQ(abs.readCoil(4), 1);
    EXPECT_EQ(read32(abs, 180), 12345);

    DriveHarness rel = driveWith({"--mode", "7"});
    ASSERT_EQ(rel.request("01 10 00 C8 00 02 04 FC 18 FF FF").size(), 8u);  // point 1 := -1000
    ASSERT_EQ(rel.writeCoil(38, true), 0);
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(rel.writeCoil(35, false), 0);
        ASSERT_EQ(rel.writeCoil(35, true), 0);
        rel.runFor(2000000);
    }
    EXPECT_EQ(read32(rel, 180), -2000);

    DriveHarness d = driveWith({"--mode", "6", "--extended", "--set", "1201=1500"});
    expectRegisters(d, {{151, 0x20}, {2002, 0}});  // not ready: servo off
    ASSERT_EQ(d.writeRegister(2002, 0x401), 0);
    ASSERT_EQ(d.writeRegister(2003, 0x400), 0);
    EXPECT_EQ(d.readRegister(2003), 0x401);
    ASSERT_EQ(d.writeRegister(2002, 0x801), 0);  // homing
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
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"--station", "0"}, {"--baud", "12345"}, {"--drop", "1.5"}, {"--model", "TOOLONGCODE"},
             {"--history", "1,2,300"}, {"--tune-error", "2"}, {"--set", "16"}, {"--frobnicate"}, {"--seed"}}) {
        SimOptions options;
        std::string error;
        EXPECT_EQ(parse(args, options, error), SimOptions::Outcome::Error) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(LineFaults, DropCorruptExtraByteSilenceAndTheirSeed)
{
    const std::string request = "01 03 00 00 00 01";
    const Bytes good = testsupport::withCrc(testsupport::hex("01 03 02 00 01"));
    EXPECT_TRUE(driveWith({"--drop", "1"}).request(request).empty());
    const Bytes corrupt = driveWith({"--corrupt", "1"}).request(request);
    EXPECT_TRUE(corrupt.size() == good.size() && corrupt != good);
    const Bytes longer = driveWith({"--extra-byte", "1"}).request(request);
    ASSERT_EQ(longer.size(), good.size() + 1);
    EXPECT_TRUE(std::equal(good.begin(), good.end(), longer.begin()));

    DriveHarness silent = driveWith({"--silent-after", "2"});
    EXPECT_EQ(silent.request(request), good);
    EXPECT_EQ(silent.request(request), good);
    EXPECT_TRUE(silent.request(request).empty());
    EXPECT_TRUE(silent.request("01 06 00 90 00 01").empty());
    EXPECT_TRUE(silent.runFor(20000).empty());  // no stream from a dead drive either

    const auto lossPattern = [&](const char* seed) {
        DriveHarness d = driveWith({"--drop", "0.5", "--seed", seed});
        std::string lost;
        for (int i = 0; i < 64; ++i)
            lost += d.request(request).empty() ? '1' : '0';
        return lost;
    };
    EXPECT_EQ(lossPattern("7"), lossPattern("7"));
    EXPECT_NE(lossPattern("7"), lossPattern("8"));
}
