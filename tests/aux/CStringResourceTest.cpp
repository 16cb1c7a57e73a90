#include "aux/CStringResource.h"

#include "tests/platform/TempFolder.h"

#include <gtest/gtest.h>

using namespace testing_files;

namespace {

class CStringResourceTest : public ::testing::Test {
protected:
    int load(const std::string& bytes) {
        writeBytes(path, bytes);
        return strings.ReadTableFile(path.c_str());
    }
    std::string text(unsigned id) { return strings.GetResString(id); }

    TempFolder folder;
    std::string path = folder.file("Language.lng");
    BuiltInStringTable builtIns{{0, "Zero"}, {7, "Built-in seven"}, {12, "Speed"}, {13, ""},
                                {20, "Tab\there\r\nnext line"}, {4000000000u, "Huge id"}};
    const BuiltInStringTable* module = &builtIns;
    CStringResource strings{&module};
};

}  // namespace

TEST_F(CStringResourceTest, HeaderMustMatchExactlyApartFromOuterBlanksAndAByteOrderMark) {
    const struct { std::string file; const char* text; } cases[] = {
        {"[ StringTable ]\n12=Drehzahl\n", "Speed"},
        {"[stringtable]\n12=Drehzahl\n", "Speed"},
        {"[StringTable] x\n12=Drehzahl\n", "Speed"},
        {"[Other]\n12=no\n \t[StringTable]  \r\n12=Drehzahl\r\n", "Drehzahl"},
        {"\xEF\xBB\xBF[StringTable]\r\n12=Drehzahl\r\n", "Drehzahl"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(load(c.file), 1);
        EXPECT_EQ(text(12), c.text) << c.file;
    }
}

TEST_F(CStringResourceTest, TextIsTakenAsItStandsWithEscapes) {
    ASSERT_EQ(load("[StringTable]\n12=Speed\\tRPM\n 30= blank before and after \n31=a\\r\\nb \\x \\\\t\n32=x=y\n"), 1);
    EXPECT_EQ(text(12), "Speed\tRPM");
    EXPECT_EQ(text(30), " blank before and after ");
    EXPECT_EQ(text(31), "a\r\nb \\x \\\t");  // no escape for the backslash
    EXPECT_EQ(text(32), "x=y");
}

TEST_F(CStringResourceTest, CommentsDuplicatesEmptyTextsAndTheEndOfTheTable) {
    ASSERT_EQ(load("[StringTable]\n;12=commented out\n7=first\n7=second\n\nno equals sign\n=no identifier\n"
                   "-3=negative\n99999999999=too big\n12=\n12=hidden by the empty one\n[Next]\n0=after the table\n"),
              1);
    EXPECT_EQ(text(7), "first");
    EXPECT_EQ(text(12), "Speed");  // empty text falls back
    EXPECT_EQ(text(0), "Zero");    // stopped at [Next]
    EXPECT_EQ(text(4294967293u), "");
}

TEST_F(CStringResourceTest, FailedReadKeepsTheTableAndMissingSectionEmptiesIt) {
    ASSERT_EQ(load("[StringTable]\n7=loaded\n"), 1);
    EXPECT_EQ(strings.ReadTableFile(folder.file("missing.lng").c_str()), 0);
    EXPECT_EQ(strings.ReadTableFile(nullptr), 0);
    EXPECT_EQ(text(7), "loaded");
    ASSERT_EQ(load("just text\n"), 1);
    EXPECT_EQ(text(7), "Built-in seven");
}

TEST_F(CStringResourceTest, CreatedFileReadsBackAndKeepsOtherSections) {
    writeBytes(path, "; translator notes\n[Info]\nLanguage=German\n[StringTable]\n7=old\n99=kept\n");
    ASSERT_TRUE(strings.CreateTableFile(path.c_str(), 0xFFFFFFFFu));
    EXPECT_NE(readBytes(path).find("; translator notes\n[Info]\nLanguage=German\n"), std::string::npos);

    const BuiltInStringTable none;
    const BuiltInStringTable* noModule = &none;
    CStringResource reader(&noModule);
    ASSERT_EQ(reader.ReadTableFile(path.c_str()), 1);
    for (const auto& [id, builtIn] : builtIns) EXPECT_EQ(reader.GetResString(id), builtIn) << id;
    EXPECT_EQ(reader.GetResString(99), "kept");

    EXPECT_FALSE(strings.CreateTableFile(folder.file("no/such/folder.lng").c_str(), 100));
}
