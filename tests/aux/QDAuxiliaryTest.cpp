#include "aux/QDAuxiliary.h"

#include "platform/IniFile.h"
#include "platform/SettingsStore.h"
#include "tests/platform/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>

using namespace testing_files;

namespace {

class RegistryHelpersTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SettingsStore::setFolder(folder.path()); }
    void TearDown() override { platform::SettingsStore::setFolder(""); }
    TempFolder folder;
    HKEY key = "Waypad\\Settings";
};

}  // namespace

TEST_F(RegistryHelpersTest, DwordRoundTripAndDefaultOnFailure) {
    DWORD value = 1;
    EXPECT_EQ(RegGetdwValue(key, "Speed", &value, 1234), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, 1234u);
    ASSERT_EQ(RegSetdwValue(key, "Speed", 0xDEADBEEFu), ERROR_SUCCESS);
    EXPECT_EQ(RegGetdwValue(key, "Speed", &value, 1), ERROR_SUCCESS);
    EXPECT_EQ(value, 0xDEADBEEFu);
    EXPECT_EQ(RegGetdwValue(nullptr, "Speed", &value, 5), ERROR_INVALID_HANDLE);
    EXPECT_EQ(value, 5u);
    EXPECT_EQ(RegGetdwValue(key, "Bad=Name", &value, 6), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(value, 6u);
    EXPECT_EQ(RegSetdwValue(nullptr, "Speed", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegGetdwValue(key, "Speed", nullptr, 0), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryHelpersTest, StringCopyIsStrncpyLikeAndWorkBufferIsCleared) {
    ASSERT_EQ(platform::SettingsStore::writeString(key, "Name", "abcdef"),
              platform::SettingsStore::Status::Ok);
    EXPECT_EQ(RegMaxValueLen(key), 7u);
    EXPECT_EQ(RegMaxValueLen("No\\Such\\Key"), 0u);
    EXPECT_EQ(RegMaxValueLen(nullptr), 0u);

    char work[16];
    char dest[8];
    std::memset(dest, '#', sizeof dest);
    EXPECT_EQ(RegGetszValue(key, dest, "Name", 4, work, sizeof work), ERROR_SUCCESS);
    EXPECT_EQ(std::string(dest, 5), "abcd#");  // full: no terminating zero added
    for (char c : work) EXPECT_EQ(c, '\0');

    std::memset(dest, '#', sizeof dest);
    EXPECT_EQ(RegGetszValue(key, dest, "Name", 8, work, sizeof work), ERROR_SUCCESS);
    EXPECT_EQ(std::string(dest, 8), std::string("abcdef\0\0", 8));

    // Missing value: the copy still happens, of an empty text.
    std::memset(dest, '#', sizeof dest);
    std::memset(work, 'w', sizeof work);
    EXPECT_EQ(RegGetszValue(key, dest, "Missing", 8, work, sizeof work), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(std::string(dest, 8), std::string(8, '\0'));
    for (char c : work) EXPECT_EQ(c, '\0');
}

TEST_F(RegistryHelpersTest, StringLongerThanWorkBufferIsNeverReadPastIt) {
    ASSERT_EQ(platform::SettingsStore::writeString(key, "Name", "abcdef"),
              platform::SettingsStore::Status::Ok);
    char work[4];
    char dest[16];
    std::memset(dest, '#', sizeof dest);
    EXPECT_EQ(RegGetszValue(key, dest, "Name", sizeof dest, work, sizeof work), ERROR_MORE_DATA);
    EXPECT_EQ(std::string(dest, 16), std::string(16, '\0'));
    EXPECT_EQ(RegGetszValue(key, nullptr, "Name", 4, work, sizeof work), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegGetszValue(key, dest, "Name", -1, nullptr, 0), ERROR_MORE_DATA);
    ASSERT_EQ(RegSetdwValue(key, "Count", 3), ERROR_SUCCESS);  // a number is not a text
    EXPECT_EQ(RegGetszValue(key, dest, "Count", 4, work, sizeof work), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(std::string(dest, 4), std::string(4, '\0'));
}

TEST(ProfileHelpers, WritePrivateProfileIntWritesSignedDecimal) {
    TempFolder folder;
    const std::string path = folder.file("Waystation.ini");
    writeBytes(path, "[Settings]\nFilePath=/tmp/a.wpd\n");
    EXPECT_EQ(WritePrivateProfileInt("Settings", "iJogType", -5, path.c_str()), 1);
    EXPECT_EQ(readBytes(path), "[Settings]\nFilePath=/tmp/a.wpd\niJogType=-5\n");
    EXPECT_EQ(WritePrivateProfileInt("Settings", "iJogType", 0, nullptr), 0);
    EXPECT_EQ(WritePrivateProfileInt("Settings", "iJog\nType", 1, path.c_str()), 0);
}

TEST(ElapsedTime, ClockFieldsFromLow16BitsWithHoursModulo60) {
    SYSTEMTIME t;
    std::memset(&t, 0xAB, sizeof t);
    EXPECT_EQ(ElapsedTimeToSystemTime(62004, &t), 0);
    EXPECT_EQ((std::vector<int>{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond,
                                t.wMilliseconds}),
              (std::vector<int>{0, 0, 0, 0, 0, 1, 2, 4}));
    ElapsedTimeToSystemTime(65536, &t);
    EXPECT_EQ((std::vector<int>{t.wHour, t.wMinute, t.wSecond, t.wMilliseconds}),
              (std::vector<int>{0, 1, 5, 0}));
    ElapsedTimeToSystemTime(61ul * 3600000ul, &t);  // 61 h shows as 1 h
    EXPECT_EQ(t.wHour, 1);
    EXPECT_EQ(ElapsedTimeToSystemTime(1, nullptr), 0);
}

TEST(Exports, PlainFunctionsHaveUndecoratedNames) {
    for (const char* name : {"RegGetdwValue", "RegSetdwValue", "RegMaxValueLen", "RegGetszValue",
                             "WritePrivateProfileInt", "ElapsedTimeToSystemTime"})
        EXPECT_NE(::dlsym(RTLD_DEFAULT, name), nullptr) << name;
}
