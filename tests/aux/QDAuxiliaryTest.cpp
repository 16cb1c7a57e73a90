#include "aux/QDAuxiliary.h"

#include "platform/SettingsStore.h"
#include "tests/platform/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

using namespace testing_files;

namespace {

class RegistryHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SettingsStore::setFolder(folder.path());
        ASSERT_EQ(platform::SettingsStore::writeString(key, "Name", "abcdef"), platform::SettingsStore::Status::Ok);
    }
    void TearDown() override { platform::SettingsStore::setFolder(""); }
    // RegGetszValue into a '#'-filled destination; the destination's bytes.
    std::string copyOut(const char* name, int length, char* work, size_t workSize, LONG expected) {
        char dest[16];
        std::memset(dest, '#', sizeof dest);
        EXPECT_EQ(RegGetszValue(key, dest, name, length, work, static_cast<DWORD>(workSize)), expected) << name;
        return std::string(dest, sizeof dest);
    }
    TempFolder folder;
    HKEY key = "Waypad\\Settings";
};

}  // namespace

TEST_F(RegistryHelpersTest, DwordRoundTripAndDefaultOnFailure) {
    DWORD value = 1;
    for (auto [k, name, status] : {std::tuple<HKEY, const char*, LONG>{key, "Speed", ERROR_FILE_NOT_FOUND},
                                   {nullptr, "Speed", ERROR_INVALID_HANDLE}, {key, "Bad=Name", ERROR_INVALID_PARAMETER}}) {
        EXPECT_EQ(RegGetdwValue(k, name, &value, 1234), status) << name;
        EXPECT_EQ(value, 1234u);
        value = 1;
    }
    ASSERT_EQ(RegSetdwValue(key, "Speed", 0xDEADBEEFu), ERROR_SUCCESS);
    EXPECT_EQ(RegGetdwValue(key, "Speed", &value, 1), ERROR_SUCCESS);
    EXPECT_EQ(value, 0xDEADBEEFu);
    EXPECT_EQ(RegGetdwValue(key, "Speed", nullptr, 0), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryHelpersTest, StringCopyIsStrncpyLikeClearsTheWorkBufferAndNeverReadsPastIt) {
    EXPECT_EQ(RegMaxValueLen(key), 7u);
    char work[16];
    const std::string cleared(sizeof work, '\0');
    EXPECT_EQ(copyOut("Name", 4, work, sizeof work, ERROR_SUCCESS), "abcd" + std::string(12, '#'));  // no zero added
    EXPECT_EQ(std::string(work, sizeof work), cleared);
    // Missing value: the copy still happens, of an empty text.
    std::memset(work, 'w', sizeof work);
    EXPECT_EQ(copyOut("Missing", 8, work, sizeof work, ERROR_FILE_NOT_FOUND).substr(0, 9), std::string(8, '\0') + "#");
    EXPECT_EQ(std::string(work, sizeof work), cleared);

    EXPECT_EQ(copyOut("Name", 16, work, 4, ERROR_MORE_DATA), std::string(16, '\0'));  // work buffer too small
    copyOut("Name", -1, nullptr, 0, ERROR_MORE_DATA);
    EXPECT_EQ(RegGetszValue(key, nullptr, "Name", 4, work, sizeof work), ERROR_INVALID_PARAMETER);
}

TEST(ElapsedTime, ClockFieldsFromLow16BitsWithHoursModulo60) {
    // Milliseconds in, then hour, minute, second and millisecond out.
    const std::vector<std::vector<unsigned long>> cases = {
        {62004, 0, 1, 2, 4}, {65536, 0, 1, 5, 0}, {61ul * 3600000ul, 1, 0, 12, 400}};
    for (const auto& c : cases) {
        SYSTEMTIME t;
        std::memset(&t, 0xAB, sizeof t);
        EXPECT_EQ(ElapsedTimeToSystemTime(c[0], &t), 0);
        EXPECT_EQ((std::vector<unsigned long>{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond,
                                              t.wMilliseconds}),
                  (std::vector<unsigned long>{0, 0, 0, 0, c[1], c[2], c[3], c[4]}))
            << c[0];
    }
    EXPECT_EQ(ElapsedTimeToSystemTime(1, nullptr), 0);
}
