// The parameter page's file formats and tables without a page: the line
// format both ways, malformed and oversized files, the range text, the
// built-in tables, the model check and conversion, help blocks and flags.
#include "ParamFixtures.h"

#include "param/BuiltInParameterTables.h"
#include "param/FileCompatibility.h"
#include "param/LimitedTextFile.h"
#include "param/ParameterFileFormat.h"
#include "param/ParameterFlags.h"
#include "param/ParameterReference.h"
#include "param/RangeText.h"
#include "tables/DriveModelTable.h"

#include <gtest/gtest.h>

using namespace paramtest;

namespace {

const std::string kRs(1, '\x1E');

// Replaces the first occurrence of `from` (which must be there).
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(RangeText, FixedPlacesAndEngineerMode)
{
    struct Case { const char* range; int32_t value; bool engineer; bool passes; };
    const Case cases[] = {
        {"-10000~10000   ", -10000, false, true}, {"-10000~10000   ", 10000, false, true},
        {"-10000~10000   ", -10001, false, false}, {"-10000~10000   ", 10001, false, false},
        {"-10000~10000   ", 30000, true, true},    {"-10000~10000   ", 40000, true, false},
        {"-10000~10000   ", -32768, true, true},   {"     1~2000    ", 0, false, false},
        {"     1~2000    ", 1, false, true},       {"     1~2000    ", 2000, false, true},
        {"     1~2000    ", 2001, false, false},   {"    25~2500", 24, false, false},
        {"-   50~-10", -50, false, true},          {"-   50~-10", -9, false, false},
        {"    1~2000", 1, false, false},  // '~' one place early: the minimum reads 10
        {"", 0, false, true},                      {"", 1, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValueInRange(c.value, c.range, c.engineer), c.passes) << c.range << " " << c.value;
    EXPECT_EQ(ParseRangeText("-10000~10000").minimum, -10000);
    EXPECT_EQ(ParseRangeText("     0~65535").maximum, 65535);
    EXPECT_EQ(ParseRangeText("    1~2000").minimum, 10);
}

TEST(BuiltInTables, VisibilityUnusedAndLocks)
{
    struct Case { int group; int mode; int parameter; bool visible; };
    const Case cases[] = {
        {11, 2, 0x00, false}, {11, 2, 0x05, false}, {11, 2, 0x50, false}, {11, 2, 0x10, true},
        {11, 2, 0x4E, true},  {11, 3, 0x44, true},  {11, 3, 0x43, false}, {11, 4, 0x03, false},
        {11, 1, 0x00, true},  {35, 4, 0x7F, false}, {7, 3, 0x74, true},   {7, 3, 0x78, false},
        {4, 2, 0x27, false},  {6, 2, 0x27, true},   {4, 4, 0x52, true},   {4, 4, 0x51, false},
        {5, 2, 0x00, true},   // no tables: everything
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuiltInVisibleParameters(c.group, c.mode).test(c.parameter), c.visible)
            << c.group << "/" << c.mode << "/" << c.parameter;
    EXPECT_EQ(BuiltInVisibleParameters(11, 1).count(), 128u);
    EXPECT_TRUE(BuiltInUnusedParameters(9).test(0x21));
    EXPECT_FALSE(BuiltInUnusedParameters(11).test(0x21));
    EXPECT_EQ(BuiltInUnusedParameters(4).count(), 49u);
    EXPECT_TRUE(BuiltInUnusedParameters(5).none());
    EXPECT_EQ(BuiltInRestartParameters().count(), 13u);
    EXPECT_EQ(AutoTuningLockedParameters().count(), 14u);
    for (int group : {4, 6, 7, 8, 23, 35})
        EXPECT_TRUE(HasBuiltInParameterTables(group)) << group;
    for (int group : {0, 3, 5, 36})
        EXPECT_FALSE(HasBuiltInParameterTables(group)) << group;
    EXPECT_THROW(ParseParameterList("00 8G"), std::invalid_argument);
}

TEST(ParameterFileFormat, WriterLinesMatchTheFormatAndReadBack)
{
    std::array<ParameterFileLine, kParameterCount> lines;
    for (int p = 0; p < kParameterCount; ++p)
        lines[p] = {p % 3 != 1, "Def " + std::to_string(p), "     1~2000", "ms", std::to_string(p - 60)};
    std::string text;
    ASSERT_TRUE(FormatParameterFile("Vr_007", lines, text));
    const std::string heading = "* Servo Parameter Setting Value,\r\n* Model : QDDG Series,\r\n* Type : Vr_007,\r\n\r\n";
    EXPECT_EQ(text.substr(0, heading.size()), heading);
    EXPECT_NE(text.find("\r\n" + ParameterLine(0x11, "Def 17", "     1~2000", "ms", "-43")), std::string::npos);
    EXPECT_NE(text.find(" 01  !" + std::string(24, ' ') + "!   " + kRs + std::string(15, ' ') + kRs + "   #" +
                        std::string(15, ' ') + "# ,     \r\n"),
              std::string::npos);
    const std::string closing = std::string(41, '-') + "\r\n* Mode : Pulse\r\nEnd of file.,\r\n";
    EXPECT_EQ(text.substr(text.size() - closing.size()), closing);

    ParameterFileContent content;
    ASSERT_TRUE(ParseParameterFile(text, content).ok());
    EXPECT_TRUE(content.namesModel);
    EXPECT_EQ(content.modelName, "Vr_007");
    for (int p = 0; p < kParameterCount; ++p) {
        const bool shown = p % 3 != 1;
        EXPECT_EQ(content.values[p], shown ? p - 60 : 0) << p;
        EXPECT_EQ(content.definitions[p], shown ? "Def " + std::to_string(p) + std::string(24 - 4 - std::to_string(p).size(), ' ')
                                                : std::string(24, ' '));
        EXPECT_EQ(content.ranges[p], shown ? "     1~2000    " : std::string(15, ' '));
    }
    // A text the reader could not find its fields in again is not written.
    lines[5].definition = "Gain, first";
    EXPECT_FALSE(FormatParameterFile("Vr_007", lines, text));
    EXPECT_TRUE(text.empty());
}

TEST(ParameterFileFormat, LineFeedsAloneAndAHeadingWithoutModel)
{
    SomSpec spec = DriveLikeSom("Vr_102");
    spec.lineBreak = "\n";
    ParameterFileContent content;
    ASSERT_TRUE(ParseParameterFile(SomText(spec), content).ok());
    EXPECT_EQ(content.modelName, "Vr_102");
    EXPECT_EQ(content.values[0x10], spec.values[0x10]);
    EXPECT_EQ(content.units[0x10].substr(0, 7), "unit 10");

    // With two "*" only (no model line, no mode line) the values still belong to their own lines.
    const std::string twoStars = replaced(replaced(SomText(spec), "* Type : Vr_102,\n", ""), "* Mode : Pulse\n", "");
    ASSERT_TRUE(ParseParameterFile(twoStars, content).ok());
    EXPECT_FALSE(content.namesModel);
    for (int p = 0; p < kParameterCount; ++p)
        EXPECT_EQ(content.values[p], spec.values[p]) << p;
}

TEST(ParameterFileFormat, MalformedFilesAreRefusedWithTheLine)
{
    const std::string good = SomText(DriveLikeSom("Vr_007"));
    const std::string line10 = ParameterLine(0x10, "Parameter 10", "     1~2000", "unit 10", "35");
    const std::string cutAfter40 = good.substr(0, good.find(" 41  !"));
    const std::string lastLine = good.substr(0, good.find("\r\n", good.find(" 7F  !")));
    struct Case { const char* what; std::string text; ParameterFileProblem problem; int line; };
    const Case cases[] = {
        {"cut after Pr.40", cutAfter40, ParameterFileProblem::MissingParameters, 69},
        {"last value cut", lastLine, ParameterFileProblem::MissingParameters, 132},
        {"comma in a text", replaced(good, "Parameter 10", "Parameter,10"), ParameterFileProblem::DelimiterInText, 21},
        {"! in a text", replaced(good, "Parameter 10", "Parameter!10"), ParameterFileProblem::DelimiterInText, 21},
        {"# in a unit", replaced(good, "unit 10", "unit#10"), ParameterFileProblem::DelimiterInText, 21},
        {"RS in a range", replaced(good, "     1~2000", "  " + kRs + "  1~2000"), ParameterFileProblem::DelimiterInText, 21},
        {"value 12abc", replaced(good, line10, replaced(line10, ", 35", ", 12abc")), ParameterFileProblem::BadValue, 21},
        {"value 70000", replaced(good, line10, replaced(line10, ", 35", ", 70000")), ParameterFileProblem::BadValue, 21},
        {"line missing", replaced(good, line10, ""), ParameterFileProblem::LineOutOfOrder, 21},
        {"fields swapped", replaced(good, line10, " 10  !Parameter 10!   #unit 10#   " + kRs + "1~2000" + kRs + " , 35\r\n"),
         ParameterFileProblem::MalformedLine, 21},
    };
    for (const Case& c : cases) {
        ParameterFileContent content;
        const ParameterFileParse parse = ParseParameterFile(c.text, content);
        EXPECT_EQ(parse.problem, c.problem) << c.what;
        EXPECT_EQ(parse.line, c.line) << c.what;
        EXPECT_NE(ParameterFileProblemText(parse, "f.qdp").find("f.qdp, line "), std::string::npos) << c.what;
    }
}

TEST(LimitedTextFile, SizeBinaryAndMissingFiles)
{
    TempFolder folder;
    struct Case { const char* name; std::string bytes; TextFileStatus status; };
    const std::string cjk = "\xE5\x8F\x83";  // one character, three bytes
    const Case cases[] = {
        {"limit", std::string(65535, 'a'), TextFileStatus::Ok},
        {"over", std::string(65536, 'a'), TextFileStatus::TooLarge},
        {"wide", [&] { std::string s; for (int i = 0; i < 30000; ++i) s += cjk; return s; }(), TextFileStatus::Ok},
        {"nul", std::string("* Servo\0", 8), TextFileStatus::Binary},
        {"bell", "abc\x07", TextFileStatus::Binary},
        {"text", "a\tb\r\n" + kRs + "\n", TextFileStatus::Ok},
    };
    for (const Case& c : cases) {
        writeBytes(folder.file(c.name), c.bytes);
        std::string text = "old";
        EXPECT_EQ(ReadLimitedTextFile(folder.file(c.name), text), c.status) << c.name;
        EXPECT_EQ(text.empty(), c.status != TextFileStatus::Ok) << c.name;
    }
    std::string text;
    EXPECT_EQ(ReadLimitedTextFile(folder.file("none"), text), TextFileStatus::Missing);
    EXPECT_EQ(ReadLimitedTextFile(folder.path(), text), TextFileStatus::Unreadable);
}

TEST(FileCompatibility, VerdictsByPageAndFileModel)
{
    struct Case { int pageFamily, pageGroup, fileFamily, fileGroup; FileVerdict verdict; };
    const Case cases[] = {
        {FamilyVr, 11, FamilyVr, 8, FileVerdict::Convert},   // Vr_006 into Vr_007
        {FamilyVr, 12, FamilyVr, 9, FileVerdict::Convert},   // Vr_101 into Vr_102
        {FamilyVr, 13, FamilyVr, 10, FileVerdict::Convert},  // Vr_201 into Vr_202
        {FamilyVr, 12, FamilyVr, 8, FileVerdict::Refuse},    // Vr_006 into Vr_102
        {FamilyVr, 11, FamilyVr, 11, FileVerdict::Accept},
        {FamilyVr, 8, FamilyVr, 8, FileVerdict::Accept},
        {FamilyVr, 4, FamilyVr, 4, FileVerdict::Refuse},     // older than group 8
        {FamilyVr, 11, FamilyVr, 0, FileVerdict::Refuse},    // an unknown model
        {FamilyVr, 11, FamilyVr, 23, FileVerdict::Refuse},   // a newer model
        {FamilyVr, 11, FamilyZt, 2, FileVerdict::Refuse},
        {FamilyZt, 1, FamilyZt, 1, FileVerdict::Accept},
        {FamilyZt, 0, FamilyQm, 0, FileVerdict::Refuse},     // same number, another family
        {FamilyQm, 0, FamilyVr, 0, FileVerdict::Refuse},
        {FamilyQm, 0, FamilyQm, 0, FileVerdict::Accept},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckFileModel(c.pageFamily, c.pageGroup, c.fileFamily, c.fileGroup), c.verdict)
            << c.pageFamily << "/" << c.pageGroup << " <- " << c.fileFamily << "/" << c.fileGroup;
}

TEST(FileCompatibility, ConversionOfAnOlderModelsValues)
{
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

TEST(ParameterReference, HelpBlocksAndTheirLimits)
{
    const std::string qdt = QdtText();
    EXPECT_EQ(FindHelpBlock(qdt, 1).text, "Help of Pr.00\nline 2");
    EXPECT_EQ(FindHelpBlock(qdt, 0x11).text, "Help of Pr.10\nline 2");
    EXPECT_EQ(FindHelpBlock(qdt, 128).text, "Help of Pr.7F\nline 2");
    EXPECT_EQ(FindHelpBlock(qdt, 129).status, HelpBlockStatus::NoBlock);
    EXPECT_EQ(FindHelpBlock("{{{open", 1).status, HelpBlockStatus::Unclosed);
    EXPECT_EQ(FindHelpBlock("{{{" + std::string(1003, 'x') + "}}}", 1).status, HelpBlockStatus::Ok);
    EXPECT_EQ(FindHelpBlock("{{{" + std::string(1004, 'x') + "}}}", 1).status, HelpBlockStatus::TooLong);

    TempFolder folder;
    EXPECT_EQ(ReadHelpBlock(folder.file("none.qdt"), 1).status, HelpBlockStatus::FileProblem);
    writeBytes(folder.file("big.qdt"), "{{{a}}}" + std::string(70000, ' '));
    const HelpBlock big = ReadHelpBlock(folder.file("big.qdt"), 1);
    EXPECT_EQ(big.fileStatus, TextFileStatus::TooLarge);
    EXPECT_NE(HelpBlockProblemText(big, "big.qdt", 1).find("65536"), std::string::npos);
}

TEST(ParameterFlags, VersionOneZeroZeroOnly)
{
    TempFolder folder;
    SomSpec spec;
    spec.flags = [](int p) { return ParameterFlag{p % 2, p == 0x10 ? 0 : 1, static_cast<uint8_t>(p & 7), p == 0x11}; };
    writeBytes(folder.file("flags.som"), SomText(spec));
    const ParameterFlagsTable table = ReadParameterFlags(folder.file("flags.som"));
    ASSERT_TRUE(table.valid());
    EXPECT_EQ(table.flags[0x13].reboot, 1);
    EXPECT_EQ(table.flags[0x12].reboot, 0);
    EXPECT_EQ(table.flags[0x10].permanentLocked, 0);
    EXPECT_EQ(table.flags[0x0D].modeBits, 5);
    EXPECT_EQ(table.flags[0x11].autotuneLocked, 1);

    // A section without keys takes the defaults; another version gives no flags.
    writeBytes(folder.file("bare.som"), "[Setup]\nFileVersion = 1.0.0\n[Par0x05]\n");
    const ParameterFlagsTable bare = ReadParameterFlags(folder.file("bare.som"));
    ASSERT_TRUE(bare.valid());
    EXPECT_EQ(bare.flags[5].reboot, 1);
    EXPECT_EQ(bare.flags[5].permanentLocked, 1);
    EXPECT_EQ(bare.flags[5].modeBits, 0);
    writeBytes(folder.file("other.som"), "[Setup]\nFileVersion=1.0.1\n");
    EXPECT_FALSE(ReadParameterFlags(folder.file("other.som")).valid());
    EXPECT_EQ(ReadParameterFlags(folder.file("none.som")).versionIndex, 0);
}
