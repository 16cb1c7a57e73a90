#include "app/texts/LanguageFile.h"
#include "app/texts/LoadText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::vector<LanguageFile::Entry> parse(const std::string& text)
{
    std::istringstream in(text);
    return LanguageFile::parse(in);
}

std::string writeTemp(const std::string& text)
{
    char name[] = "/tmp/drivara-lngXXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    ::close(fd);
    std::ofstream(name, std::ios::binary) << text;
    return name;
}

}  // namespace

TEST(LanguageFile, ReadsOnlyTheExactSectionHeader)
{
    EXPECT_TRUE(parse("[ StringTable ]\n1=a\n").empty());
    EXPECT_TRUE(parse("[stringtable]\n1=a\n").empty());
    EXPECT_TRUE(parse("1=before\n[Other]\n2=b\n").empty());
    const auto entries = parse("[Other]\n5=x\n   [StringTable]  \n1=a\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], LanguageFile::Entry(1, "a"));
}

TEST(LanguageFile, TextKeepsBlanksAndUnescapes)
{
    const auto entries = parse("[StringTable]\n12=Speed\\tRPM\n13= a b \n 14 =x=y\n15=l1\\r\\nl2\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].second, "Speed\tRPM");
    EXPECT_EQ(entries[1].second, " a b ");
    EXPECT_EQ(entries[2], LanguageFile::Entry(14, "x=y"));
    EXPECT_EQ(entries[3].second, "l1\r\nl2");
}

TEST(LanguageFile, CommentsBadLinesAndTheNextSection)
{
    const auto entries = parse(
        "[StringTable]\r\n;3=comment\r\n\r\nno equals\r\nabc=5\r\n-4=neg\r\n"
        "99999999999=big\r\n4=ok\r\n[Next]\r\n5=after\r\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], LanguageFile::Entry(4, "ok"));  // CR of CRLF removed
}

TEST(LanguageFile, LongLinesAreRead)
{
    const std::string text(5000, 'x');
    const auto entries = parse("[StringTable]\n7=" + text + "\n8=next\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].second, text);
    EXPECT_EQ(entries[1].first, 8u);
}

TEST(LoadText, LanguageTableFirstThenBuiltIn)
{
    const std::string path = writeTemp(
        "[StringTable]\n276=Quit(&Q)\n276=Second\n277=\n999999=Only here\n");
    ASSERT_TRUE(LoadLanguageFile(path));
    EXPECT_EQ(LoadText(276), "Quit(&Q)");            // first duplicate wins
    EXPECT_EQ(LoadText(277), "Connection...(&L)");   // empty text falls back
    EXPECT_EQ(LoadText(999999), "Only here");
    EXPECT_EQ(LoadText(123456), "");

    EXPECT_FALSE(LoadLanguageFile(path + ".missing"));
    EXPECT_EQ(LoadText(276), "Exit(&X)");
    std::remove(path.c_str());
    ClearLanguageTable();
}

TEST(BuiltInTexts, HoldTheShellTexts)
{
    EXPECT_EQ(LoadText(468), "The window was already opened!");
    EXPECT_EQ(LoadText(469), "The view window was over follow, please restart software!");
    EXPECT_EQ(LoadText(300), "Setting Parameter Dialog : \nPlease fill in the date in the "
                             "blanks according to parameter and the setting range.");
    EXPECT_EQ(LoadText(57607), "Print..");
    EXPECT_EQ(LoadText(463), "Selection of  contorl diagram.");
}
