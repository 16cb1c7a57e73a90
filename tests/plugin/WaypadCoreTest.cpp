// Point-table files, the jog rules, the window's rules and the settings.
#include "plugin/JogPlanner.h"
#include "plugin/PointTableLayout.h"
#include "plugin/ViewRules.h"
#include "plugin/WaypadSettings.h"
#include "plugin/WaypadShared.h"
#include "plugin/WaypadTexts.h"
#include "plugin/WpdFile.h"
#include "tests/platform/TempFolder.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace waypad;
using testing_files::TempFolder;
using testing_files::readBytes;
using testing_files::writeBytes;

namespace {

ParameterValues sampleValues()
{
    ParameterValues v{};
    for (const ParamPlace& place : ParamPlaces())
        v[place.field] = (place.field % 2 ? -1 : 1) * (1000 + 37 * place.field);
    v[kHomingOffset] = INT32_MIN;
    v[kSoftLimitPos] = INT32_MAX;
    return v;
}

// Catches a value lost or changed on the way through a file, a changed file
// layout, a missing section not read as zeros, and names read case-sensitively.
TEST(WpdFile, ExportImportAndMissingSections)
{
    TempFolder dir;
    const ParameterValues values = sampleValues();
    ASSERT_TRUE(WriteWpdFile(dir.file("t.wpd"), values));
    WpdReadResult read = ReadWpdFile(dir.file("t.wpd"));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.values, values);
    EXPECT_EQ(read.fileVersion, "0.0.0");
    std::string text = readBytes(dir.file("t.wpd"));
    EXPECT_EQ(text.substr(0, 30), "[WPD Setup]\nFileVersion=0.0.0\n");
    EXPECT_NE(text.find("[WPD Point15]\nPosition_pulse="), std::string::npos);
    EXPECT_NE(text.find("Offset_pulse=-2147483648\n"), std::string::npos);

    const size_t from = text.find("[WPD Point3]"), to = text.find("[WPD Point4]");
    writeBytes(dir.file("t.wpd"), text.erase(from, to - from));
    read = ReadWpdFile(dir.file("t.wpd"));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.values[PointPosition(3)], 0);  // point 4
    EXPECT_EQ(read.values[PointSpeed(3)], 0);
    EXPECT_EQ(read.values[PointPosition(4)], values[PointPosition(4)]);

    writeBytes(dir.file("c.wpd"), "[wpd point0]\r\nPOSITION_PULSE = -12 \r\nspeed_rpm=+7\r\n");
    read = ReadWpdFile(dir.file("c.wpd"));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.values[PointPosition(0)], -12);
    EXPECT_EQ(read.values[PointSpeed(0)], 7);
    EXPECT_EQ(read.fileVersion, "0.0.0");
}

// Catches a damaged, truncated or foreign file taken in part or with the
// wrong message, and an unwritable place reported as success.
TEST(WpdFile, DamagedFilesAreRefusedAsAWhole)
{
    TempFolder dir;
    ASSERT_TRUE(WriteWpdFile(dir.file("good.wpd"), sampleValues()));
    const std::string good = readBytes(dir.file("good.wpd"));
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const struct { const char* name; std::string bytes; unsigned text; const char* detail; } cases[] = {
        {"cut inside a line", good.substr(0, good.size() - 3), kFileCutShortText, ""},
        {"cut between lines", good.substr(0, good.rfind("JogDec_ms")), kFileMissingKeyText,
         "[WPD Auxiliary Parm] JogDec_ms"},
        {"letters", replaced("Speed_rpm=", "Speed_rpm=12abc"), kFileBadValueText, "[WPD Point0] Speed_rpm"},
        {"hexadecimal", replaced("Speed_rpm=", "Speed_rpm=0x"), kFileBadValueText, "[WPD Point0] Speed_rpm"},
        {"two numbers", replaced("Speed_rpm=", "Speed_rpm=1 "), kFileBadValueText, "[WPD Point0] Speed_rpm"},
        {"a sign alone", replaced("Speed_rpm=", "Speed_rpm=-\n;"), kFileBadValueText, "[WPD Point0] Speed_rpm"},
        {"empty value", replaced("Mode=", "Mode=\n;"), kFileBadValueText, "[WPD Homing Parm] Mode"},
        {"beyond 32 bits", replaced("Offset_pulse=-2147483648", "Offset_pulse=-2147483649"), kFileBadValueText,
         "[WPD Homing Parm] Offset_pulse"},
        {"beyond 64 bits", replaced("Speed_rpm=", "Speed_rpm=99999999999999999999\n;"), kFileBadValueText,
         "[WPD Point0] Speed_rpm"},
        {"no point-table section", "[Other]\nx=1\n", kFileNotPointTableText, ""},
        {"empty", "", kFileNotPointTableText, ""},
        {"binary", std::string("[WPD Point0]\nPosition_pulse=1\0\1\2", 33), kFileNotPointTableText, ""},
    };
    for (const auto& c : cases) {
        writeBytes(dir.file("bad.wpd"), c.bytes);
        const WpdReadResult read = ReadWpdFile(dir.file("bad.wpd"));
        EXPECT_FALSE(read.ok) << c.name;
        EXPECT_EQ(read.errorTextId, c.text) << c.name;
        EXPECT_EQ(read.errorDetail, c.detail) << c.name;
    }
    EXPECT_EQ(ReadWpdFile(dir.file("missing.wpd")).errorTextId, kFileUnreadableText);
    EXPECT_EQ(ReadWpdFile(dir.path()).errorTextId, kFileUnreadableText);  // a folder
    EXPECT_FALSE(WriteWpdFile(dir.file("no/such/folder.wpd"), sampleValues()));
}

// Catches wrong defaults, values not read or not written back, and the
// user's own lines lost on saving.
TEST(WaypadSettings, DefaultsReadAndWriteBack)
{
    TempFolder dir;
    WaypadSettings s = WaypadSettings::read(dir.path());
    const auto fields = [](const WaypadSettings& r) { return std::tie(r.filePath, r.showPulsePosition, r.jogType, r.jogTimeMs); };
    EXPECT_EQ(fields(s), std::make_tuple(std::string("Empty"), 2, 1, 500));
    EXPECT_EQ(s.lastFileFolder(), "");
    writeBytes(dir.file("Waystation.ini"), "; mine\n[Settings]\nFilePath=  " + dir.file("a.wpd") +
                                               "  \niShowPulsePosition=1\niJogType=2\niJogTime=800\n");
    s = WaypadSettings::read(dir.path());
    EXPECT_EQ(fields(s), std::make_tuple(dir.file("a.wpd"), 1, 2, 800));
    EXPECT_EQ(s.lastFileFolder(), dir.path());
    s.filePath = dir.file("b.wpd");
    s.jogType = -3;
    ASSERT_TRUE(s.save());
    const std::string text = readBytes(dir.file("Waystation.ini"));
    for (const std::string& line : {std::string("; mine\n"), "FilePath=" + dir.file("b.wpd") + "\n",
                                     std::string("iJogType=-3\n"), std::string("iJogTime=800\n")})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

// Catches a jog time outside 500-2000 ms or not following the round trip.
TEST(JogRules, JogTimeFromTheRoundTripStaysWithin500And2000)
{
    const struct { int type, setting, t, current, expected; } cases[] = {
        {1, 500, 0, 500, 500},     {1, 500, 20, 500, 540},  {1, 500, 100, 500, 1340},
        {1, 500, 200, 500, 2000},  {2, 700, 0, 500, 700},   {2, 700, 50, 500, 1200},
        {2, 100, 0, 500, 500},     {2, 700, 500, 500, 2000}, {0, 700, 50, 1234, 1234},
        {-1, 700, 50, 900, 900},   {1, 500, 1000000, 500, 2000}};
    for (const auto& c : cases)
        EXPECT_EQ(JogTimeFor(c.type, c.setting, c.t, c.current), c.expected) << c.type << "/" << c.t;
}

class JogPlannerTest : public ::testing::Test {
protected:
    WaypadShared shared;
    JogPlanner planner{1, 500};
    JogPlanner::Inputs in;
    uint32_t now = 1000;

    void SetUp() override
    {
        shared.block.set(kJogSpeed, 100);
        in.speedEdit = 100;
        planner.shown();
        for (int i = 0; i < 100; ++i)  // the slider is read 100 ticks after showing
            planner.tick(in, shared, now);
    }
    // The worker's part: the jog word went out; its command bits clear.
    void finishJog(uint32_t at)
    {
        int32_t result = 0;
        shared.comm.finish(CS_Jog, kResultSuccess);
        ASSERT_TRUE(shared.comm.take(CS_Jog + 1, result));
        shared.jogWord.fetch_and(~0xF000);
        planner.jogFinished(at);
    }
};

// Catches a slider read before the start-up wait ran down, a jog issued
// while one runs, a time not from the last round trip, and a stop command or
// a lost time on release.
TEST_F(JogPlannerTest, HeldSliderJogsAgainAfterEachRoundTripWithinTheLimits)
{
    in.slider = 1;
    JogPlanner fresh(1, 500);
    for (int i = 0; i < 1000; ++i)
        ASSERT_FALSE(fresh.tick(in, shared, now).jogIssued);
    EXPECT_TRUE(fresh.tick(in, shared, now).jogIssued);
    shared.comm.reset();
    std::vector<int> times;
    for (int roundTrip : {20, 100, 400}) {
        ASSERT_TRUE(planner.tick(in, shared, now).jogIssued);
        EXPECT_EQ(shared.comm.step(), CS_Jog);
        EXPECT_EQ(shared.jogWord & 0xF000, 0x2000);  // time jog plus
        times.push_back(shared.jogWord & 0x0FFF);
        EXPECT_FALSE(planner.tick(in, shared, now).jogIssued) << "nothing while the step runs";
        finishJog(now += roundTrip);
    }
    EXPECT_EQ(times, (std::vector<int>{500, 540, 1340}));
    in.slider = 0;
    EXPECT_FALSE(planner.tick(in, shared, now).jogIssued);
    EXPECT_TRUE(shared.comm.idle());
    EXPECT_EQ(shared.jogWord.load(), 1340);
}

// Catches a wrong direction bit, Reverse ignored, and pulse jogs repeated
// sooner than every eleventh tick.
TEST_F(JogPlannerTest, ReverseSwapsTheDirectionAndPulseJogRepeatsEveryEleventhTick)
{
    const struct { int slider; bool reverse; bool pulse; int32_t bit; } cases[] = {
        {1, false, false, 0x2000}, {1, true, false, 0x1000}, {-1, false, false, 0x1000},
        {-1, true, true, 0x8000},  {1, false, true, 0x8000}, {1, true, true, 0x4000}};
    for (const auto& c : cases) {
        in = {c.slider, c.reverse, c.pulse, 37, 100};
        ASSERT_TRUE(planner.tick(in, shared, now).jogIssued);
        EXPECT_EQ(shared.jogWord & 0xF000, c.bit) << c.slider << c.reverse << c.pulse;
        finishJog(now);
        for (int i = 0; c.pulse && i <= 10; ++i)
            EXPECT_EQ(planner.tick(in, shared, now).jogIssued, i == 10) << "held: ten ticks between pulse jogs";
        if (c.pulse)
            finishJog(now);
        in.slider = 0;
        planner.tick(in, shared, now);
    }
}

// Catches pulse and speed edits let outside 1-2000, and a changed jog speed
// not written to the drive.
TEST_F(JogPlannerTest, AtRestEditsAreLimitedAndANewSpeedIsWritten)
{
    in.pulseMode = true;
    const struct { int pulse, speed, pulseOut, speedOut; } cases[] = {
        {0, 100, 1, 100}, {2500, 100, 2000, 100}, {-7, 0, 1, 1}, {150, 2001, 150, 2000}};
    for (const auto& c : cases) {
        in.pulseEdit = c.pulse;
        in.speedEdit = c.speed;
        const JogPlanner::Outcome o = planner.tick(in, shared, now);
        EXPECT_EQ(o.pulseEdit, c.pulseOut);
        EXPECT_EQ(o.speedEdit, c.speedOut);
        EXPECT_EQ(shared.jogWord & 0x0FFF, c.pulseOut);
        EXPECT_EQ(o.jogSpeedChanged, c.speedOut != 100 && shared.comm.step() == CS_JogSpeed);
        if (o.jogSpeedChanged) {
            EXPECT_EQ(shared.block.get(kJogSpeed), c.speedOut);
            shared.comm.reset();
            shared.block.set(kJogSpeed, 100);
        }
    }
}

// Catches a control enabled against the mode, the feature or the link,
// wrong texts for modes, statuses and a jog step (which shows none), and a
// first or last point not corrected when the other passes it.
TEST(ViewRules, ControlsTextsAndFirstLastCorrections)
{
    const struct { bool up; int mode; bool ext; const char* expected; } cases[] = {
        // read write servo homing run get set abs rel
        {true, 0, false, "111011110"}, {true, 1, true, "111111101"}, {true, 7, true, "111100000"},
        {true, 2, true, "000000000"},  {true, 6, true, "000000000"}, {false, 0, true, "000000000"}};
    for (const auto& c : cases) {
        const ControlEnabling e = EnablingFor(c.up, c.mode, c.ext);
        std::string got;
        for (bool b : {e.read, e.write, e.servo, e.homingSetup, e.run, e.getPoint, e.setPoint, e.gotoAbs, e.gotoRel})
            got += b ? '1' : '0';
        EXPECT_EQ(got, c.expected) << c.mode << c.ext << c.up;
    }
    const std::pair<std::string, std::string> texts[] = {
        {ActiveModeName(7), "WaypadHost_Index"},       {ActiveModeName(9), "9"},
        {DriveStatusText(7), "On target position."},   {DriveStatusText(2), "Homing..."},
        {FinishedStepMessage(16, kResultSuccess), ""}};  // others: WaypadViewTest
    for (const auto& [got, wanted] : texts)
        EXPECT_EQ(got, wanted);
    const struct { int pf, pl, f, l, ef, el; } corrections[] = {
        {1, 1, 5, 1, 5, 5}, {3, 8, 3, 2, 2, 2}, {1, 4, 2, 4, 2, 4}, {4, 9, 4, 9, 4, 9}, {2, 6, 7, 3, 7, 7}};
    for (const auto& c : corrections) {
        int f = c.f, l = c.l;
        CorrectFirstLast(c.pf, c.pl, f, l);
        EXPECT_EQ(std::pair(f, l), std::pair(c.ef, c.el)) << c.pf << c.pl << c.f << c.l;
    }
}

}  // namespace
