#include "app/texts/LanguageFile.h"
#include "app/texts/LoadText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

TEST(LanguageFile, ParsesOnlyWellFormedEntriesOfTheExactSection)
{
    using Entries = std::vector<LanguageFile::Entry>;
    const std::string longText(5000, 'x');
    const struct {
        std::string text;
        Entries expected;
    } cases[] = {
        {"[ StringTable ]\n1=a\n", {}},
        {"[stringtable]\n1=a\n", {}},
        {"1=before\n[Other]\n2=b\n", {}},
        {"[Other]\n5=x\n   [StringTable]  \n1=a\n", {{1, "a"}}},
        // Blanks kept, first '=' splits, escapes undone.
        {"[StringTable]\n12=Speed\\tRPM\n13= a b \n 14 =x=y\n15=l1\\r\\nl2\n",
         {{12, "Speed\tRPM"}, {13, " a b "}, {14, "x=y"}, {15, "l1\r\nl2"}}},
        // Comments, blank and bad lines skipped, CR of CRLF removed, next section ends it.
        {"[StringTable]\r\n;3=comment\r\n\r\nno equals\r\nabc=5\r\n-4=neg\r\n99999999999=big\r\n4=ok\r\n"
         "[Next]\r\n5=after\r\n",
         {{4, "ok"}}},
        {"[StringTable]\n7=" + longText + "\n8=next\n", {{7, longText}, {8, "next"}}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        EXPECT_EQ(LanguageFile::parse(in), c.expected) << c.text.substr(0, 60);
    }
}

TEST(LoadText, LanguageTableFirstThenBuiltIn)
{
    char path[] = "/tmp/drivara-lngXXXXXX";
    ::close(mkstemp(path));
    std::ofstream(path, std::ios::binary) << "[StringTable]\n276=Quit(&Q)\n276=Second\n277=\n999999=Only here\n";
    ASSERT_TRUE(LoadLanguageFile(path));
    EXPECT_EQ(LoadText(276), "Quit(&Q)");           // first duplicate wins
    EXPECT_EQ(LoadText(277), "Connection...(&L)");  // empty text falls back
    EXPECT_EQ(LoadText(999999), "Only here");
    EXPECT_EQ(LoadText(123456), "");

    EXPECT_FALSE(LoadLanguageFile(std::string(path) + ".missing"));
    EXPECT_EQ(LoadText(276), "Exit(&X)");
    std::remove(path);
    ClearLanguageTable();
}
