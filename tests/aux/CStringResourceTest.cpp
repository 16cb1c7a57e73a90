#include "aux/CStringResource.h"

#include "tests/platform/TempFolder.h"

#include <gtest/gtest.h>

using namespace testing_files;

namespace {

class CStringResourceTest : public ::testing::Test {
protected:
    // Writes a language file and reads it into `strings`.
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

TEST_F(CStringResourceTest, HeaderMustMatchExactlyApartFromOuterBlanks) {
    for (const char* header : {"[ StringTable ]", "[stringtable]", "[StringTable] x"}) {
        ASSERT_EQ(load(std::string(header) + "\n12=Drehzahl\n"), 1);
        EXPECT_EQ(text(12), "Speed") << header;
    }
    ASSERT_EQ(load("[Other]\n12=no\n \t[StringTable]  \r\n12=Drehzahl\r\n"), 1);
    EXPECT_EQ(text(12), "Drehzahl");
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
    EXPECT_EQ(text(999), "");
}

TEST_F(CStringResourceTest, FailedReadKeepsTheTableAndMissingSectionEmptiesIt) {
    ASSERT_EQ(load("[StringTable]\n7=loaded\n"), 1);
    EXPECT_EQ(strings.ReadTableFile(folder.file("missing.lng").c_str()), 0);
    EXPECT_EQ(strings.ReadTableFile(folder.path().c_str()), 0);  // a folder
    EXPECT_EQ(strings.ReadTableFile(nullptr), 0);
    EXPECT_EQ(text(7), "loaded");
    ASSERT_EQ(load("just text\n"), 1);
    EXPECT_EQ(text(7), "Built-in seven");
}

TEST_F(CStringResourceTest, LongLinesStayWholeAndBinaryJunkIsHarmless) {
    const std::string longText(5000, 'L');
    std::string junk = "[StringTable]\n12=" + longText + "[not a header]\n";
    for (int i = 0; i < 256; ++i) junk += static_cast<char>(i);
    ASSERT_EQ(load(junk + "\n7=ok"), 1);  // last line without an end
    EXPECT_EQ(text(12), longText + "[not a header]");
    EXPECT_EQ(text(7), "ok");
}

TEST_F(CStringResourceTest, ModuleIsLookedUpAtEachUseAndCopiesShareTheTable) {
    const BuiltInStringTable* late = nullptr;
    CStringResource deferred(&late);
    EXPECT_EQ(deferred.GetResString(7), "");
    late = &builtIns;
    EXPECT_EQ(deferred.GetResString(7), "Built-in seven");
    CStringResource copy;
    copy = deferred;
    writeBytes(path, "[StringTable]\n7=shared\n");
    ASSERT_EQ(deferred.ReadTableFile(path.c_str()), 1);
    EXPECT_EQ(copy.GetResString(7), "shared");
}

TEST_F(CStringResourceTest, CreatedFileReadsBackKeepsOtherSectionsAndStopsAtTheHighestId) {
    writeBytes(path, "; translator notes\n[Info]\nLanguage=German\n[StringTable]\n7=old\n99=kept\n");
    ASSERT_TRUE(strings.CreateTableFile(path.c_str(), 0xFFFFFFFFu));
    const std::string written = readBytes(path);
    EXPECT_NE(written.find("; translator notes\n[Info]\nLanguage=German\n"), std::string::npos);
    EXPECT_NE(written.find("20=Tab\\there\\r\\nnext line\n"), std::string::npos);
    EXPECT_NE(written.find("4000000000=Huge id\n"), std::string::npos);
    EXPECT_EQ(written.find("13="), std::string::npos);  // empty built-in text skipped

    const BuiltInStringTable none;
    const BuiltInStringTable* noModule = &none;
    CStringResource reader(&noModule);
    ASSERT_EQ(reader.ReadTableFile(path.c_str()), 1);
    for (const auto& [id, builtIn] : builtIns) EXPECT_EQ(reader.GetResString(id), builtIn) << id;
    EXPECT_EQ(reader.GetResString(99), "kept");

    const std::string fresh = folder.file("fresh.lng");
    ASSERT_TRUE(strings.CreateTableFile(fresh.c_str(), 0));
    EXPECT_EQ(readBytes(fresh), "[StringTable]\n0=Zero\n");
    EXPECT_FALSE(strings.CreateTableFile(folder.file("no/such/folder.lng").c_str(), 100));
}
