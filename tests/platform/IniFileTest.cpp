#include "platform/IniFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

using platform::IniFile;
using namespace testing_files;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    long entries() const {
        return std::distance(std::filesystem::directory_iterator(folder.path()), {});
    }
    TempFolder folder;
    std::string path = folder.file("test.ini");
};

}  // namespace

TEST_F(IniFileTest, ReadsSectionsAmongOtherTextIgnoringCase) {
    // Free text around and between sections, as in a system-initialisation
    // file; a byte-order mark in front, as some editors write it.
    writeBytes(path,
               "\xEF\xBB\xBF[Model]\n  Name =  VR-400 \nRated=750W\nsome free text without an equals sign\n"
               "Drive system initialisation\nVersion 3; do not edit\n"
               "[Limits]\nMaxSpeed=3000rpm\nNegative= -42\nEmpty=\nBlanks=   \nQuoted= \" two  words \" \n"
               "Single='x'\nMixed=\"x'\nLone=\"\nNumber=\"42\"\nNone=\"\"\n"
               "[model]\nName=second copy, never seen\n"
               "[N]\nBig=99999999999999999999\n");
    const struct { const char* section; const char* key; const char* text; int number; } cases[] = {
        {"Model", "Name", "VR-400", 0},          {"MODEL", "name", "VR-400", 0},
        {"limits", "maxspeed", "3000rpm", 3000}, {"Limits", "Negative", "-42", -42},
        // An empty value is the caller's default for a number.
        {"Limits", "Empty", "", 7},              {"Limits", "Blanks", "", 7},
        // One pair of matching quotes goes; what they hold stays as it is.
        {"Limits", "Quoted", " two  words ", 0}, {"Limits", "Single", "x", 0},
        {"Limits", "Mixed", "\"x'", 0},          {"Limits", "Lone", "\"", 0},
        {"Limits", "Number", "42", 42},          {"Limits", "None", "", 7},
        {"Limits", "Rated", "dflt", 7},          {"Nowhere", "Name", "dflt", 7},
        {"N", "Big", "99999999999999999999", INT_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniFile::readString(path, c.section, c.key, "dflt"), c.text) << c.section << '/' << c.key;
        EXPECT_EQ(IniFile::readInt(path, c.section, c.key, 7), c.number) << c.section << '/' << c.key;
    }
    EXPECT_EQ(IniFile::keys(path, "model"), (std::vector<std::string>{"Name", "Rated"}));
    EXPECT_FALSE(IniFile::hasSection(path, "Drive system initialisation"));
    // The raw value keeps its quotes, for stores that quote values themselves.
    std::string raw;
    ASSERT_TRUE(IniFile::lookup(path, "Limits", "Single", raw));
    EXPECT_EQ(raw, "'x'");

    // A write keeps the mark and finds the section behind it.
    ASSERT_TRUE(IniFile::writeString(path, "model", "Rated", "1kW"));
    const std::string head = "\xEF\xBB\xBF[Model]\n  Name =  VR-400 \nRated=1kW\n";
    EXPECT_EQ(readBytes(path).substr(0, head.size()), head);
}

TEST_F(IniFileTest, MissingFileReadsDefaultsAndWriteCreatesIt) {
    EXPECT_EQ(IniFile::readInt(path, "Global", "iSplashTime", 1500), 1500);
    EXPECT_TRUE(IniFile::keys(path, "Global").empty());
    ASSERT_TRUE(IniFile::writeInt(path, "Global", "iSplashTime", -5));
    EXPECT_EQ(readBytes(path), "[Global]\niSplashTime=-5\n");
    EXPECT_FALSE(IniFile::writeString(folder.file("no/such/dir.ini"), "A", "B", "C"));
}

TEST_F(IniFileTest, WriteKeepsEveryOtherLineByteForByte) {
    writeBytes(path, "free text\r\n[A]\r\nKey = old value   \r\nOther=1\r\n\r\njunk \x01\x02\xff\r\n"
                     "[B]\nX=1");  // last line without an end
    ASSERT_TRUE(IniFile::writeString(path, "a", "KEY", "new"));
    ASSERT_TRUE(IniFile::writeString(path, "A", "Added", "2"));
    ASSERT_TRUE(IniFile::writeString(path, "B", "Y", "3"));
    ASSERT_TRUE(IniFile::writeString(path, "C", "Z", "4"));
    EXPECT_EQ(readBytes(path), "free text\r\n[A]\r\nKey=new\r\nOther=1\r\n\r\njunk \x01\x02\xff\r\nAdded=2\r\n"
                               "[B]\nX=1\r\nY=3\r\n[C]\r\nZ=4\r\n");
}

TEST_F(IniFileTest, RefusesNamesAndValuesThatWouldCorruptTheFile) {
    writeBytes(path, "[A]\nK=1\n");
    EXPECT_FALSE(IniFile::writeString(path, "A", "K", "two\nlines"));
    EXPECT_FALSE(IniFile::writeString(path, "A", "K=", "1"));
    EXPECT_FALSE(IniFile::writeString(path, "A]", "K", "1"));
    EXPECT_EQ(readBytes(path), "[A]\nK=1\n");
}

TEST_F(IniFileTest, ReplacesByRenameKeepingPermissionsAndSymbolicLinks) {
    const std::string target = folder.file("real.ini");
    writeBytes(target, "[A]\nK=1\n");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(IniFile::writeInt(path, "A", "K", i));
    EXPECT_EQ(entries(), 2);  // no stray temporary file
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(readBytes(target), "[A]\nK=2\n");
}

TEST_F(IniFileTest, UnreadableTargetIsNeverOverwritten) {
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);  // a folder where the file should be
    EXPECT_FALSE(IniFile::writeInt(path, "A", "K", 1));
    EXPECT_EQ(IniFile::readInt(path, "A", "K", 9), 9);
    EXPECT_EQ(entries(), 1);
}
