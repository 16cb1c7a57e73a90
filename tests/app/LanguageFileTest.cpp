// The language file's format, read back through the texts the program shows.
#include "texts/LanguageFile.h"
#include "texts/LoadText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

TEST(LanguageFile, FormatRules)
{
    const std::string longText(5000, 'x');
    const struct {
        std::string file;
        unsigned id;
        std::string expected;
    } cases[] = {
        // The section header must match exactly; other sections are ignored.
        {"[ StringTable ]\n276=a\n", 276, "Exit(&X)"},
        {"[stringtable]\n276=a\n", 276, "Exit(&X)"},
        {"276=before\n[Other]\n276=b\n", 276, "Exit(&X)"},
        {"[Other]\n276=x\n   [StringTable]  \n276=a\n", 276, "a"},
        {"[StringTable]\n[Next]\n276=after\n", 276, "Exit(&X)"},
        // A byte-order mark in front of the header does not hide it.
        {"\xEF\xBB\xBF[StringTable]\r\n276=bom\r\n", 276, "bom"},
        // Escapes undone, blanks kept, the first '=' splits.
        {"[StringTable]\n276=Speed\\tRPM\\r\\n\n", 276, "Speed\tRPM\r\n"},
        {"[StringTable]\n 276 = a=b \n", 276, " a=b "},
        // First duplicate wins; an empty text falls back to the built-in one.
        {"[StringTable]\n276=Quit(&Q)\n276=Second\n", 276, "Quit(&Q)"},
        {"[StringTable]\n277=\n", 277, "Connection...(&L)"},
        // Comments, CRLF and malformed lines are skipped; long texts are kept whole.
        {"[StringTable]\r\n;276=c\r\nno equals\r\nabc=5\r\n-4=neg\r\n99999999999=big\r\n276=ok\r\n", 276, "ok"},
        {"[StringTable]\n999999=" + longText + "\n", 999999, longText},
        {"[StringTable]\n276=a\n", 123456, ""},
    };
    char path[] = "/tmp/drivara-lngXXXXXX";
    ::close(mkstemp(path));
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.file;
        ASSERT_TRUE(LoadLanguageFile(path));
        EXPECT_EQ(LoadText(c.id), c.expected) << c.file.substr(0, 60);
    }
    std::istringstream malformed(cases[10].file);
    EXPECT_EQ(LanguageFile::parse(malformed), (std::vector<LanguageFile::Entry>{{276, "ok"}}));
    EXPECT_FALSE(LoadLanguageFile(std::string(path) + ".missing"));
    EXPECT_EQ(LoadText(276), "Exit(&X)");
    std::remove(path);
    ClearLanguageTable();
}
