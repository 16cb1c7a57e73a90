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
    TempFolder folder;
    std::string path = folder.file("test.ini");
};

// A system-initialisation file keeps free text around and between sections.
const char* kMixedFile =
    "Drive system initialisation\n"
    "Version 3; do not edit\n"
    "[Model]\n"
    "  Name =  VR-400 \n"
    "Rated=750W\n"
    "some free text without an equals sign\n"
    "[Limits]\n"
    "MaxSpeed=3000rpm\n"
    "Negative= -42\n"
    "Empty=\n"
    "Word=abc\n"
    "[model]\n"
    "Name=second copy, never seen\n";

}  // namespace

TEST_F(IniFileTest, ReadsSectionsAmongOtherTextIgnoringCase) {
    writeBytes(path, kMixedFile);
    EXPECT_EQ(IniFile::readString(path, "Model", "Name", "x"), "VR-400");
    EXPECT_EQ(IniFile::readString(path, "MODEL", "name", "x"), "VR-400");
    EXPECT_EQ(IniFile::readString(path, "limits", "maxspeed", "x"), "3000rpm");
    EXPECT_EQ(IniFile::readString(path, "Limits", "Empty", "x"), "");
    EXPECT_EQ(IniFile::readString(path, "Limits", "Rated", "dflt"), "dflt");
    EXPECT_EQ(IniFile::readString(path, "Nowhere", "Name", "dflt"), "dflt");
    EXPECT_EQ(IniFile::keys(path, "model"), (std::vector<std::string>{"Name", "Rated"}));
    EXPECT_TRUE(IniFile::hasSection(path, "LIMITS"));
    EXPECT_FALSE(IniFile::hasSection(path, "Drive system initialisation"));
}

TEST_F(IniFileTest, ReadIntTakesTheLeadingDecimalNumber) {
    writeBytes(path, kMixedFile);
    EXPECT_EQ(IniFile::readInt(path, "Limits", "MaxSpeed", 7), 3000);
    EXPECT_EQ(IniFile::readInt(path, "Limits", "Negative", 7), -42);
    EXPECT_EQ(IniFile::readInt(path, "Limits", "Word", 7), 0);
    EXPECT_EQ(IniFile::readInt(path, "Limits", "Empty", 7), 0);
    EXPECT_EQ(IniFile::readInt(path, "Limits", "Missing", 7), 7);
    writeBytes(path, "[N]\nBig=99999999999999999999\nSmall=-99999999999999999999\n");
    EXPECT_EQ(IniFile::readInt(path, "N", "Big", 0), INT_MAX);
    EXPECT_EQ(IniFile::readInt(path, "N", "Small", 0), INT_MIN);
}

TEST_F(IniFileTest, MissingFileReadsDefaultsAndWriteCreatesIt) {
    EXPECT_EQ(IniFile::readInt(path, "Global", "iSplashTime", 1500), 1500);
    EXPECT_TRUE(IniFile::keys(path, "Global").empty());
    ASSERT_TRUE(IniFile::writeInt(path, "Global", "iSplashTime", -5));
    EXPECT_EQ(readBytes(path), "[Global]\niSplashTime=-5\n");
    EXPECT_FALSE(IniFile::writeString(folder.file("no/such/dir.ini"), "A", "B", "C"));
}

TEST_F(IniFileTest, WriteKeepsEveryOtherLineByteForByte) {
    const std::string original =
        "free text\r\n"
        "[A]\r\n"
        "Key = old value   \r\n"
        "Other=1\r\n"
        "\r\n"
        "junk \x01\x02\xff\r\n"
        "[B]\n"
        "X=1";  // last line without an end
    writeBytes(path, original);
    ASSERT_TRUE(IniFile::writeString(path, "a", "KEY", "new"));
    ASSERT_TRUE(IniFile::writeString(path, "A", "Added", "2"));
    ASSERT_TRUE(IniFile::writeString(path, "B", "Y", "3"));
    ASSERT_TRUE(IniFile::writeString(path, "C", "Z", "4"));
    EXPECT_EQ(readBytes(path),
              "free text\r\n"
              "[A]\r\n"
              "Key=new\r\n"
              "Other=1\r\n"
              "\r\n"
              "junk \x01\x02\xff\r\n"
              "Added=2\r\n"
              "[B]\n"
              "X=1\r\n"
              "Y=3\r\n"
              "[C]\r\n"
              "Z=4\r\n");
    EXPECT_EQ(IniFile::readString(path, "A", "Key", ""), "new");
}

TEST_F(IniFileTest, RefusesNamesAndValuesThatWouldCorruptTheFile) {
    writeBytes(path, "[A]\nK=1\n");
    EXPECT_FALSE(IniFile::writeString(path, "A", "K", "two\nlines"));
    EXPECT_FALSE(IniFile::writeString(path, "A", "K=", "1"));
    EXPECT_FALSE(IniFile::writeString(path, "A]", "K", "1"));
    EXPECT_FALSE(IniFile::writeString(path, "A\rB", "K", "1"));
    EXPECT_FALSE(IniFile::writeStrings(path, "A", {{"Good", "1"}, {"Bad\n", "2"}}));
    EXPECT_EQ(readBytes(path), "[A]\nK=1\n");
}

TEST_F(IniFileTest, RenameLeavesNoStrayFileAndKeepsPermissions) {
    writeBytes(path, "[A]\nK=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(IniFile::writeInt(path, "A", "K", i));
    EXPECT_EQ(entryCount(folder.path()), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(IniFile::readInt(path, "A", "K", -1), 19);
}

TEST_F(IniFileTest, FollowsASymbolicLinkInsteadOfReplacingIt) {
    const std::string target = folder.file("real.ini");
    writeBytes(target, "[A]\nK=1\n");
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    ASSERT_TRUE(IniFile::writeInt(path, "A", "K", 2));
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readBytes(target), "[A]\nK=2\n");
}

TEST_F(IniFileTest, UnreadableTargetIsNeverOverwritten) {
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);  // a folder where the file should be
    EXPECT_FALSE(IniFile::writeInt(path, "A", "K", 1));
    EXPECT_EQ(IniFile::readInt(path, "A", "K", 9), 9);
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

TEST_F(IniFileTest, SurvivesHugeLinesAndBinaryJunk) {
    std::string junk(3 * 1024 * 1024, 'x');
    for (size_t i = 0; i < junk.size(); i += 997) junk[i] = static_cast<char>(i % 256);
    const std::string original = junk + "\n[A]\nK=" + std::string(100000, 'v') + "\n" + junk;
    writeBytes(path, original);
    EXPECT_EQ(IniFile::readString(path, "A", "K", "").size(), 100000u);
    ASSERT_TRUE(IniFile::writeString(path, "A", "New", "1"));
    const std::string after = readBytes(path);
    EXPECT_EQ(after.substr(0, junk.size() + 1), junk + "\n");
    EXPECT_EQ(IniFile::readInt(path, "a", "new", 0), 1);
}
