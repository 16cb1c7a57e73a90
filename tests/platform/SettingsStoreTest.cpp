#include "platform/SettingsStore.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

using platform::SettingsStore;
using Status = platform::SettingsStore::Status;
using namespace testing_files;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setFolder(folder.path() + "/Drivara"); }
    void TearDown() override { SettingsStore::setFolder(""); }
    TempFolder folder;
};

}  // namespace

TEST_F(SettingsStoreTest, NumbersAndStringsKeepTheirTypesAndLengths) {
    const std::string title = "  \"quoted\" \\ a\tb\r\nend ";
    ASSERT_EQ(SettingsStore::writeDword("Settings", "Width", 0xFFFFFFFFu), Status::Ok);
    ASSERT_EQ(SettingsStore::writeString("Settings", "Title", title), Status::Ok);
    ASSERT_EQ(SettingsStore::writeString("Settings", "", "default value"), Status::Ok);
    ASSERT_EQ(SettingsStore::writeDword("K", "N", 5), Status::Ok);

    uint32_t number = 7, length = 99;
    std::string text;
    EXPECT_EQ(SettingsStore::readDword("settings", "width", number), Status::Ok);
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_EQ(SettingsStore::readString("Settings", "Title", text), Status::Ok);
    EXPECT_EQ(text, title);
    EXPECT_EQ(SettingsStore::readString("Settings", "", text), Status::Ok);
    EXPECT_EQ(text, "default value");
    // A number counts 4 bytes, a text its length with the terminating zero.
    EXPECT_EQ(SettingsStore::maxValueLength("k", length), Status::Ok);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(SettingsStore::maxValueLength("Settings", length), Status::Ok);
    EXPECT_EQ(length, title.size() + 1);

    EXPECT_EQ(SettingsStore::readDword("Settings", "Title", number), Status::WrongType);
    EXPECT_EQ(SettingsStore::readString("Settings", "Width", text), Status::WrongType);
    EXPECT_EQ(SettingsStore::readDword("Settings", "Missing", number), Status::NotFound);
    EXPECT_EQ(SettingsStore::readDword("Nowhere", "Width", number), Status::NotFound);
    EXPECT_EQ(SettingsStore::maxValueLength("Nowhere", length), Status::NotFound);
    EXPECT_EQ(number, 0xFFFFFFFFu);
}

TEST_F(SettingsStoreTest, DamagedValuesAndBadNamesAreRefused) {
    ASSERT_EQ(SettingsStore::writeDword("S", "A", 1), Status::Ok);
    writeBytes(SettingsStore::filePath(), "[S]\nShort=dword:123\nDangling=\"abc\\\"\nBare=abc\n");
    uint32_t number = 0;
    std::string text;
    EXPECT_EQ(SettingsStore::readDword("S", "Short", number), Status::WrongType);
    EXPECT_EQ(SettingsStore::readString("S", "Dangling", text), Status::WrongType);
    EXPECT_EQ(SettingsStore::readString("S", "Bare", text), Status::WrongType);

    for (auto [key, name] : {std::pair{"", "A"}, {"Sub]Key", "A"}, {"S", "A=B"}, {"S", "A\nB"}})
        EXPECT_EQ(SettingsStore::writeDword(key, name, 1), Status::InvalidArgument) << key << '/' << name;
    EXPECT_EQ(SettingsStore::writeString("S", "A", std::string("a\0b", 3)), Status::InvalidArgument);
}

TEST_F(SettingsStoreTest, RecentFilesKeepFourMostRecentFirstWithoutDuplicates) {
    EXPECT_TRUE(SettingsStore::recentFiles().empty());
    for (const char* f : {"/a.qdp", "/b.qdp", "/c.qdp", "/d.qdp", "/e.qdp", "/c.qdp"})
        ASSERT_TRUE(SettingsStore::addRecentFile(f));
    EXPECT_EQ(SettingsStore::recentFiles(), (std::vector<std::string>{"/c.qdp", "/e.qdp", "/d.qdp", "/b.qdp"}));
    EXPECT_FALSE(SettingsStore::addRecentFile(""));
    EXPECT_EQ(SettingsStore::recentFiles().size(), 4u);
}
