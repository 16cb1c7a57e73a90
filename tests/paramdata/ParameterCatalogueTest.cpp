// The parameter catalogue, model by model, against the tool's and the drive's tables, and the data
// files the build made from it, read back by the page's reader and rewritten by its writer.

#include "param/BuiltInParameterTables.h"
#include "param/ModelDriveType.h"
#include "param/PageMode.h"
#include "param/ParameterFileFormat.h"
#include "param/ParameterFlags.h"
#include "param/ParameterReference.h"
#include "param/RangeText.h"
#include "sim/ParameterTable.h"
#include "tables/DriveModelTable.h"
#include "tables/ModelSelectionList.h"
#include "tables/ParameterCatalogue.h"
#include "tables/ParameterFileText.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>
#include <string>
#include <tuple>

namespace {

using Model = ParameterCatalogue::Model;
using drivesim::ParameterTable;

// Ranges the wizards, the gain estimate, the station and the control-mode choice state.
struct Range {
    int parameter;
    int minimum;
    int maximum;
};
const Range kStatedRanges[] = {
    {0x05, 0, 3}, {0x06, 0, 2}, {0x10, 1, 2000}, {0x11, 1, 3500}, {0x12, 1, 1000}, {0x13, 0, 5}, {0x14, 25, 2500},
    {0x15, 0, 1500}, {0x16, 0, 6400}, {0x1D, 50, 1600}, {0x1E, 0, 4}, {0x20, 0, 10000}, {0x28, 100, 1500},
    {0x29, 0, 4}, {0x2A, 0, 99}, {0x40, 0, 1}, {0x41, 0, 1}, {0x42, 0, 3}, {0x44, 0, 255}, {0x45, 0, 1},
    {0x46, 1, 10000}, {0x48, 0, 3}, {0x4B, 1, 10000}, {0x4C, 0, 7}, {0x4E, 1, 9999}, {0x4F, 1, 255}, {0x50, 10, 2000},
    {0x51, 0, 1}, {0x52, -2047, 2047}, {0x53, -10000, 10000}, {0x54, -10000, 10000}, {0x55, -10000, 10000},
    {0x56, -10000, 10000}, {0x58, 0, 10000}, {0x59, 0, 10000}, {0x5A, 0, 1000}, {0x5C, 10, 100}, {0x5D, 0, 1},
    {0x74, -10000, 10000}, {0x75, -10000, 10000}, {0x76, -10000, 10000}, {0x77, -10000, 10000}, {0x00, 1, 255},
    {0x02, 0, 8}, {0x1F, 0, 14},
};

std::string trimmed(const std::string& text)
{
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

class EveryModel : public ::testing::TestWithParam<int> {
protected:
    const Model m = ParameterCatalogue::model(GetParam());
};

// Catches a catalogue or name look-up with other models, classes or Pr.1F codes than the selection list.
TEST_P(EveryModel, IsItsSelectionRowWithItsClassAndPr1F)
{
    int family = 0, group = 0;
    ASSERT_TRUE(ModelOfSelectionRow(GetParam(), family, group));
    EXPECT_EQ(m.name, ModelName(family, group));
    EXPECT_EQ(m.driveClass, DriveClassOfModel(family, group));
    uint16_t pr1f = 0;  // the Qm model fixes none
    if (family == FamilyVr)
        pr1f = VrModel(group).pr1F;
    else
        RequiredPr1F(family, group, pr1f);
    EXPECT_EQ(m.parameters[0x1F].factory, pr1f);
    Model found;
    EXPECT_TRUE(ParameterCatalogue::findModel(m.name, found) && found.name == m.name);
    DriveType drive;  // the page finds the same drive type by the name
    ASSERT_TRUE(DriveTypeOfModel(m.name, drive));
    EXPECT_EQ(std::tuple(drive.family, drive.group(), drive.driveClass), std::tuple(family, group, m.driveClass));
}

// Catches a factory value out of range, a range not as stated, or flags not as the page's built-in tables.
TEST_P(EveryModel, RangesAndFlagsAreTheStatedOnes)
{
    const ParameterSet unused = BuiltInUnusedParameters(m.driveClass == 1 ? 8 : 11);
    for (const auto& p : m.parameters) {
        const int n = p.number;
        EXPECT_EQ(n, &p - m.parameters.data());
        EXPECT_TRUE(p.minimum <= p.factory && p.factory <= p.maximum) << n;
        int bits = 0;
        for (int mode = PageModePosition; mode <= PageModeTorque; ++mode)
            bits |= BuiltInVisibleParameters(11, mode).test(n) ? 1 << (mode - PageModePosition) : 0;
        EXPECT_EQ(p.modeBits, bits) << n;
        EXPECT_EQ(p.unused, unused.test(n)) << n;
        EXPECT_EQ(p.restart, BuiltInRestartParameters().test(n)) << n;
        EXPECT_EQ(p.autoTuneLocked, AutoTuningLockedParameters().test(n)) << n;
    }
    for (const Range& r : kStatedRanges) {  // Pr.28 also takes 1600 (second notch off), as a converted file brings
        const auto& p = m.parameters[r.parameter];
        EXPECT_TRUE(p.minimum == r.minimum && p.maximum == (r.parameter == 0x28 ? 1600 : r.maximum)) << r.parameter;
    }
}

// Catches drivesim starting from other values (station, mode: its options) or writing another range.
TEST_P(EveryModel, DriveStartsAtTheFactoryValuesAndRefusesWhatLiesOutside)
{
    const std::string code = m.name.substr(0, 2) + "-" + m.name.substr(3);  // as typed: "Vr-006"
    const auto values = ParameterTable::factoryValues(code, 7, 3, m.parameters[0x1F].factory);
    for (const auto& p : m.parameters) {
        const int n = p.number;
        EXPECT_EQ(values[n], n == 0 ? 7 : n == 2 ? 3 : p.factory) << n;
        EXPECT_TRUE(ParameterTable::accepts(code, n, values[n]) && ParameterTable::accepts(code, n, p.minimum) &&
                    ParameterTable::accepts(code, n, p.maximum))
            << n;
        EXPECT_FALSE(p.minimum > -32768 && ParameterTable::accepts(code, n, p.minimum - 1)) << n;
        EXPECT_FALSE(p.maximum < 32767 && ParameterTable::accepts(code, n, p.maximum + 1)) << n;
    }
}

// Catches files not as generated, off the layout, refused, or read back unlike the catalogue.
TEST_P(EveryModel, FilesInTheRuntimeFolderReadBackAsTheCatalogue)
{
    EXPECT_TRUE(ParameterFileText::problems(m).empty());
    const std::string folder = std::string(DRIVARA_RUNTIME_DIR) + "/";
    const std::string somPath = folder + ParameterFileText::systemInitFileName(m.name);
    std::string som, qdt;
    ASSERT_EQ(ReadLimitedTextFile(somPath, som), TextFileStatus::Ok);
    ASSERT_EQ(ReadLimitedTextFile(folder + ParameterFileText::parameterRefFileName(m.name), qdt), TextFileStatus::Ok);
    EXPECT_EQ(som, ParameterFileText::systemInitFile(m));
    EXPECT_EQ(qdt, ParameterFileText::parameterRefFile(m));

    ParameterFileContent read;
    ASSERT_TRUE(ParseParameterFile(som, read).ok());
    EXPECT_EQ(read.modelName, m.name);
    std::array<ParameterFileLine, kParameterCount> lines;
    for (int p = 0; p < kParameterCount; ++p)
        lines[p] = {true, read.definitions[p], read.ranges[p], read.units[p], std::to_string(read.values[p])};
    std::string written;
    ASSERT_TRUE(FormatParameterFile(m.name, lines, written));
    EXPECT_EQ(som.substr(0, written.size()), written);  // the flags follow
    EXPECT_EQ(som.size() == written.size(), ParameterCatalogue::hasBuiltInPageTables(m.driveClass));
    static std::set<int> classesWithFlagsRead;  // flags are slow to read: the first model of each class
    ParameterFlagsTable flags;
    if (classesWithFlagsRead.insert(m.driveClass).second) {
        flags = ReadParameterFlags(somPath);
        EXPECT_EQ(flags.valid(), !ParameterCatalogue::hasBuiltInPageTables(m.driveClass));
    }
    for (const auto& p : m.parameters) {
        const int n = p.number;
        EXPECT_EQ(trimmed(read.definitions[n]), p.definition) << n;
        EXPECT_EQ(trimmed(read.units[n]), p.unit) << n;
        EXPECT_EQ(read.values[n], p.factory) << n;
        EXPECT_EQ(ParseRangeText(read.ranges[n]).minimum, p.minimum) << n;
        EXPECT_EQ(ParseRangeText(read.ranges[n]).maximum, p.maximum) << n;
        EXPECT_EQ(FindHelpBlock(qdt, n + 1).status, HelpBlockStatus::Ok) << n;
        const ParameterFlag& f = flags.flags[n];
        EXPECT_TRUE(!flags.valid() || (f.modeBits == p.modeBits && (f.permanentLocked != 0) == p.unused &&
                                       (f.reboot != 0) == p.restart && (f.autotuneLocked != 0) == p.autoTuneLocked))
            << n;
    }
    EXPECT_EQ(FindHelpBlock(qdt, 129).status, HelpBlockStatus::NoBlock);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryModel, ::testing::Range(0, ParameterCatalogue::modelCount()),
                         [](const auto& info) { return ParameterCatalogue::model(info.param).name; });

// Catches a name look-up that misses a spelling, copied first-generation help, or a wrong unlisted drive.
TEST(ParameterCatalogue, NamesHelpAndUnlistedDrives)
{
    EXPECT_EQ(ParameterCatalogue::modelCount(), kModelSelectionRowCount);
    Model found, first, later;
    EXPECT_TRUE(ParameterCatalogue::findModel("vr-a02", found) && found.name == "Vr_A02");
    DriveType drive;
    for (auto [spelled, family, group] :
         {std::tuple{"VR-008", FamilyVr, 23}, {"Qm 001", FamilyQm, 0}, {"zt_201", FamilyZt, 2}})
        EXPECT_TRUE(DriveTypeOfModel(spelled, drive) && drive.family == family && drive.group() == group) << spelled;
    for (const char* unknown : {"Vr_005", "Vr_9999"})
        EXPECT_FALSE(ParameterCatalogue::findModel(unknown, found) || DriveTypeOfModel(unknown, drive)) << unknown;
    ASSERT_TRUE(ParameterCatalogue::findModel("Vr_101", first) && ParameterCatalogue::findModel("Vr_102", later));
    for (int n : {0x21, 0x22, 0x25, 0x29, 0x5F})
        EXPECT_STRNE(first.parameters[n].help, later.parameters[n].help) << n;
    const auto older = ParameterTable::factoryValues("vr_003", 1, 0, 1);
    EXPECT_EQ(older[0x11], 36);
    EXPECT_EQ(older[0x1F], 1);
    EXPECT_FALSE(ParameterTable::accepts("vr_003", 0x11, 3501));
}

// Catches help blocks shifted or without their heading lines, or a Pr.21 note on a model without it.
TEST(ParameterFiles, ReferenceFileHasAnIntroductionThenOneBlockPerParameter)
{
    Model vr006, vr007;
    ASSERT_TRUE(ParameterCatalogue::findModel("Vr_006", vr006) && ParameterCatalogue::findModel("Vr_007", vr007));
    const std::string text = ParameterFileText::parameterRefFile(vr007);
    EXPECT_EQ(text.rfind("Parameter reference of the Vr_007 drive\r\n", 0), 0u);
    const std::string pr11 = "Pr.11 1st velocity loop gain\nInitial Value: 36\nRange: 1~3500\nUnit: Hz\nFunction:\n"
                             "You can determine the response of the velocity loop.";
    EXPECT_EQ(FindHelpBlock(text, 0x12).text.substr(0, pr11.size()), pr11);
    EXPECT_NE(FindHelpBlock(text, 0x05).text.find("power-up"), std::string::npos);  // restart-marked
    const auto introduction = [](const std::string& file) { return file.substr(0, file.find("{{{")); };
    EXPECT_NE(introduction(text).find("(Pr.21)"), std::string::npos);
    EXPECT_EQ(introduction(ParameterFileText::parameterRefFile(vr006)).find("(Pr.21)"), std::string::npos);
}

// Catches a text or range the files could not carry, not found before any file is written.
TEST(ParameterFiles, ProblemsAreFoundBeforeAnyFileIsWritten)
{
    static const std::string longHelp(1000, 'x');
    const std::pair<const char*, std::function<void(Model&)>> faults[] = {
        {"comma in a definition", [](Model& m) { m.parameters[5].definition = "Speed, internal"; }},
        {"! in a unit", [](Model& m) { m.parameters[5].unit = "rpm!"; }},
        {"# in a definition", [](Model& m) { m.parameters[5].definition = "Speed #1"; }},
        {"RS in a unit", [](Model& m) { m.parameters[5].unit = "\x1E"; }},
        {"help block over 1003", [](Model& m) { m.parameters[5].help = longHelp.c_str(); }},
        {"brace in help", [](Model& m) { m.parameters[5].help = "see }}} here"; }},
        {"minimum of six digits", [](Model& m) { m.parameters[5].minimum = -100000; }},
        {"negative maximum", [](Model& m) { m.parameters[5].minimum = -5, m.parameters[5].maximum = -1; }},
        {"factory above the maximum", [](Model& m) { m.parameters[5].factory = 4; }},
        {"model name of seven", [](Model& m) { m.name = "Vr_0006"; }},
    };
    for (const auto& [what, make] : faults) {
        Model m;
        ASSERT_TRUE(ParameterCatalogue::findModel("Vr_007", m));
        make(m);
        EXPECT_FALSE(ParameterFileText::problems(m).empty()) << what;
    }
}

}  // namespace
