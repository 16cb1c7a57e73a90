// The parameter page's file formats and tables, without a page.
#include "ParamFixtures.h"

#include "param/BuiltInParameterTables.h"
#include "param/FileCompatibility.h"
#include "param/LimitedTextFile.h"
#include "param/ParameterFileFormat.h"
#include "param/RangeText.h"
#include "tables/DriveModelTable.h"

#include <gtest/gtest.h>

using namespace paramtest;

// Catches a range check that reads the wrong places or ignores engineer mode.
TEST(RangeText, FixedPlacesAndEngineerMode)
{
    struct Case { const char* range; bool engineer; int32_t passing[2]; int32_t failing[2]; };
    const Case cases[] = {
        {"-10000~10000   ", false, {-10000, 10000}, {-10001, 10001}}, {"     1~2000    ", false, {1, 2000}, {0, 2001}},
        {"-10000~10000   ", true, {30000, -32768}, {40000, 40000}},    {"    25~2500", false, {25, 2500}, {24, 2501}},
        {"-   50~-10", false, {-50, -10}, {-51, -9}},                  {"", false, {0, 0}, {1, -1}},
    };
    for (const Case& c : cases)
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(ValueInRange(c.passing[i], c.range, c.engineer)) << c.range << " " << c.passing[i];
            EXPECT_FALSE(ValueInRange(c.failing[i], c.range, c.engineer)) << c.range << " " << c.failing[i];
        }
    EXPECT_FALSE(ValueInRange(1, "    1~2000", false));  // '~' one place early: the minimum reads 10
}

// Catches built-in tables that show or lock the wrong rows (groups 8-35: whole, in test_paramdata).
TEST(BuiltInTables, VisibilityUnusedAndLocks)
{
    struct Case { int group; int mode; int parameter; bool visible; };
    const Case cases[] = {
        {35, 4, 0x7F, false}, {7, 3, 0x74, true}, {7, 3, 0x78, false}, {4, 2, 0x27, false}, {6, 2, 0x27, true},
        {4, 4, 0x52, true},   {4, 4, 0x51, false}, {5, 2, 0x00, true},  // group 5: no tables, everything
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuiltInVisibleParameters(c.group, c.mode).test(c.parameter), c.visible) << c.group << "/" << c.mode;
    EXPECT_EQ(BuiltInVisibleParameters(11, 1).count(), 128u);
    EXPECT_EQ(BuiltInUnusedParameters(4).count(), 49u);
    EXPECT_TRUE(BuiltInUnusedParameters(5).none());
    for (int group : {0, 3, 4, 5, 6, 7, 8, 23, 35, 36})
        EXPECT_EQ(HasBuiltInParameterTables(group), group != 5 && group >= 4 && group <= 35) << group;
    EXPECT_THROW(ParseParameterList("00 8G"), std::invalid_argument);
}

// Catches a writer that drifts from the layout or writes a text the reader would misread.
TEST(ParameterFileFormat, WriterMatchesTheLayoutAndReadsBack)
{
    const ParameterValues values = CatalogueValues("Vr_007", {{0x10, -43}});
    ParameterFileContent content;
    ASSERT_TRUE(ParseParameterFile(SomText("Vr_007", values, "\n"), content).ok());  // line feeds alone
    EXPECT_TRUE(content.namesModel);
    EXPECT_EQ(content.modelName, "Vr_007");
    EXPECT_EQ(content.values, values);
    EXPECT_EQ(content.ranges[0x10], "     1~2000    ");
    std::array<ParameterFileLine, kParameterCount> lines;  // texts without their padding: the writer pads
    const auto bare = [](const std::string& text) { return text.substr(0, text.find_last_not_of(' ') + 1); };
    for (int p = 0; p < kParameterCount; ++p)
        lines[p] = {true, bare(content.definitions[p]), bare(content.ranges[p]), bare(content.units[p]),
                    std::to_string(values[p])};
    std::string text;
    ASSERT_TRUE(FormatParameterFile("Vr_007", lines, text));
    EXPECT_EQ(text, SomText("Vr_007", values));

    lines[1].shown = false;  // a hidden parameter is written blank and reads back 0
    ASSERT_TRUE(FormatParameterFile("Vr_007", lines, text));
    EXPECT_NE(text.find(ParameterLine(1, "", "", "", "    ")), std::string::npos);
    ASSERT_TRUE(ParseParameterFile(text, content).ok());
    EXPECT_EQ(content.values[1], 0);
    lines[5].definition = "Gain, first";
    EXPECT_FALSE(FormatParameterFile("Vr_007", lines, text));
    EXPECT_TRUE(text.empty());
}

// Catches an oversized, binary or unreadable file read in part instead of refused.
TEST(LimitedTextFile, SizeBinaryAndMissingFiles)
{
    TempFolder folder;
    std::string wide;  // 30000 characters of three bytes each
    for (int i = 0; i < 30000; ++i)
        wide += "\xE5\x8F\x83";
    const std::pair<std::string, TextFileStatus> cases[] = {
        {std::string(65535, 'a'), TextFileStatus::Ok},    {std::string(65536, 'a'), TextFileStatus::TooLarge},
        {wide, TextFileStatus::Ok},                       {std::string("* Servo\0", 8), TextFileStatus::Binary},
        {"abc\x07", TextFileStatus::Binary},              {std::string("a\tb\r\n\x1E\n"), TextFileStatus::Ok},
    };
    for (const auto& [bytes, status] : cases) {
        writeBytes(folder.file("f"), bytes);
        std::string text = "old";
        EXPECT_EQ(ReadLimitedTextFile(folder.file("f"), text), status) << bytes.size();
        EXPECT_EQ(text.empty(), status != TextFileStatus::Ok) << bytes.size();
    }
    std::string text;
    EXPECT_EQ(ReadLimitedTextFile(folder.file("none"), text), TextFileStatus::Missing);
    EXPECT_EQ(ReadLimitedTextFile(folder.path(), text), TextFileStatus::Unreadable);
}

// Catches a file of another model loaded unconverted, a convertible one refused, or a wrong conversion.
TEST(FileCompatibility, VerdictsByPageAndFileModelAndTheConversion)
{
    struct Case { int pageFamily, pageGroup, fileFamily, fileGroup; FileVerdict verdict; };
    const Case cases[] = {
        {FamilyVr, 11, FamilyVr, 8, FileVerdict::Convert},   // Vr_006 into Vr_007
        {FamilyVr, 12, FamilyVr, 9, FileVerdict::Convert},   // Vr_101 into Vr_102
        {FamilyVr, 13, FamilyVr, 10, FileVerdict::Convert},  // Vr_201 into Vr_202
        {FamilyVr, 12, FamilyVr, 8, FileVerdict::Refuse},    // Vr_006 into Vr_102
        {FamilyVr, 11, FamilyVr, 11, FileVerdict::Accept},   {FamilyVr, 8, FamilyVr, 8, FileVerdict::Accept},
        {FamilyVr, 4, FamilyVr, 4, FileVerdict::Refuse},     // older than group 8
        {FamilyVr, 11, FamilyVr, 0, FileVerdict::Refuse},    // an unknown model
        {FamilyVr, 11, FamilyVr, 23, FileVerdict::Refuse},   // a newer model
        {FamilyVr, 11, FamilyZt, 2, FileVerdict::Refuse},    {FamilyZt, 1, FamilyZt, 1, FileVerdict::Accept},
        {FamilyZt, 0, FamilyQm, 0, FileVerdict::Refuse},     // same number, another family
        {FamilyQm, 0, FamilyVr, 0, FileVerdict::Refuse},     {FamilyQm, 0, FamilyQm, 0, FileVerdict::Accept},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckFileModel(c.pageFamily, c.pageGroup, c.fileFamily, c.fileGroup), c.verdict)
            << c.pageFamily << "/" << c.pageGroup << " <- " << c.fileFamily << "/" << c.fileGroup;

    ParameterValues values{};
    values.fill(7);
    values[0x01] = 12;
    values[0x1D] = 99;
    values[0x20] = 150;
    ConvertFileValues(values, 9);  // Vr_101
    const std::pair<int, int32_t> expected[] = {
        {0x01, 13}, {0x1D, 100}, {0x1F, 2}, {0x20, 300}, {0x21, 0}, {0x25, 0}, {0x2A, 0}, {0x2B, 0}, {0x70, 0},
        {0x71, 0},  {0x22, 4},   {0x28, 1600}, {0x5F, 300}, {0x7B, 50}, {0x7C, 1}, {0x10, 7}, {0x02, 7}};
    for (auto [p, v] : expected)
        EXPECT_EQ(values[p], v) << ParameterHex(p);
    values[0x01] = 9;
    values[0x1D] = 250;
    ConvertFileValues(values, 8);
    EXPECT_EQ(values[0x01], 9);
    EXPECT_EQ(values[0x1D], 250);
}

// Catches wrong flag defaults or flags of another file version (keys: generated files, test_paramdata).
TEST(ParameterFlags, VersionOneZeroZeroOnly)
{
    TempFolder folder;
    writeBytes(folder.file("flags.som"), "x\r\n[Setup]\r\nFileVersion = 1.0.0\r\n[Par0x10]\nModeBit=5\n[Par0x11]\n");
    const ParameterFlagsTable table = ReadParameterFlags(folder.file("flags.som"));
    ASSERT_TRUE(table.valid());
    for (auto [p, modeBits] : {std::pair{0x10, 5}, {0x11, 0}, {0x7F, 0}}) {
        const ParameterFlag& f = table.flags[p];  // a section without keys, or none: the defaults
        EXPECT_TRUE(f.reboot == 1 && f.permanentLocked == 1 && f.modeBits == modeBits && f.autotuneLocked == 0) << p;
    }
    writeBytes(folder.file("other.som"), "[Setup]\nFileVersion=1.0.1\n");
    EXPECT_FALSE(ReadParameterFlags(folder.file("other.som")).valid());
    EXPECT_EQ(ReadParameterFlags(folder.file("none.som")).versionIndex, 0);
}
