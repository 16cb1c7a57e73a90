// The monitoring core without a drive: alarm texts, the status line's
// colour rules, the pin lists, the pulse sums and the history CSV.
#include "monitor/AlarmHistoryCsv.h"
#include "monitor/AlarmListModel.h"
#include "monitor/AlarmTexts.h"
#include "monitor/IoPins.h"
#include "texts/LoadText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readFile(const std::string& path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

AlarmReadout readout(uint8_t current, std::vector<uint8_t> history = {})
{
    AlarmReadout r;
    r.current = current;
    for (size_t k = 0; k < history.size() && k < r.history.size(); ++k)
        r.history[k] = history[k];
    return r;
}

}  // namespace

TEST(AlarmTexts, DocumentedUndocumentedAndBeyondTheTable)
{
    const std::pair<int, const char*> rows[] = {
        {0, " No error occurs."}, {12, " Err.12   Over voltage protection"}, {17, " Err.17   "}, {30, " Err.30   "},
        {37, " Err.37   EEPROM parameter error protection"}, {99, " Err.99   Over current protection(hardware)"},
        {100, " Err.100   "}, {255, " Err.255   "}};
    for (const auto& [code, text] : rows)
        EXPECT_EQ(AlarmText(code), text) << code;
}

TEST(AlarmListModel, ColoursChangeOnlyWithTheCodeAndAFailureShowsOnce)
{
    // Each step: the readout (nullptr for a failed read), whether the status
    // line repaints, and what it then shows.
    const AlarmReadout none = readout(0), twelve = readout(12), other = readout(255);
    const struct {
        const AlarmReadout* read;
        bool repaint;
        const char* text;
        uint32_t colour;
        bool flashing;
    } steps[] = {
        {nullptr, true, "Read data failed!", kAlarmColourRed, false},  // even the first read
        {nullptr, false, "Read data failed!", kAlarmColourRed, false},
        {&none, true, " No error occurs.", kAlarmColourGreen, false},
        {&none, false, " No error occurs.", kAlarmColourGreen, false},
        {&twelve, true, " Err.12   Over voltage protection", kAlarmColourRed, true},
        {&twelve, false, " Err.12   Over voltage protection", kAlarmColourRed, true},
        {&other, true, " Err.255   ", kAlarmColourRed, true},
        {nullptr, true, "Read data failed!", kAlarmColourRed, false},  // 255 is a code, not a marker
        {&other, true, " Err.255   ", kAlarmColourRed, true},
    };
    AlarmListModel model;
    for (const auto& step : steps) {
        SCOPED_TRACE("step " + std::to_string(&step - steps));
        EXPECT_EQ(model.apply(step.read), step.repaint);
        EXPECT_EQ(model.statusText(), step.text);
        EXPECT_EQ(model.statusColour(), step.colour);
        EXPECT_EQ(model.flashing(), step.flashing);
    }
}

TEST(AlarmHistoryCsv, OneQuotedLinePerRecordWrittenWhole)
{
    // A translated text with quotes and a comma must not shift the columns.
    char folder[] = "/tmp/drivara-csv-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const std::string lng = std::string(folder) + "/Language.lng";
    std::ofstream(lng) << "[StringTable]\n390=Over \"voltage\", protection\n";
    ASSERT_TRUE(LoadLanguageFile(lng));
    const AlarmReadout r = readout(12, {12, 17, 200});
    const std::string csv = AlarmHistoryCsv(r);
    EXPECT_EQ(csv.substr(0, csv.find("\n4,") + 1),
              "Position,Code,Text\n"
              "1,12,\"Err.12   Over \"\"voltage\"\", protection\"\n"
              "2,17,\"Err.17\"\n"
              "3,200,\"Err.200\"\n");
    EXPECT_NE(csv.find("\n16,0,\"No error occurs.\"\n"), std::string::npos);

    const std::string path = std::string(folder) + "/history.csv";
    ASSERT_TRUE(SaveAlarmHistoryCsv(path, r));
    EXPECT_EQ(readFile(path), csv);
    EXPECT_FALSE(SaveAlarmHistoryCsv(std::string(folder) + "/missing/history.csv", r));
    // A read-only folder: refused, the old file untouched.
    chmod(folder, 0500);
    if (access(folder, W_OK) != 0) {
        EXPECT_FALSE(SaveAlarmHistoryCsv(path, readout(0)));
        EXPECT_EQ(readFile(path), csv);
    }
    chmod(folder, 0700);
    ClearLanguageTable();
    std::remove(path.c_str());
    std::remove(lng.c_str());
    rmdir(folder);
}

TEST(IoPins, ListsMarkTheSetBitsAndSumsAreSignedLowWordFirst)
{
    const std::string text = PinListText(kInputPins, 0x41 | 0x04);  // bits 0, 6 and the unlisted 2
    EXPECT_EQ(text.substr(0, 18), "Act Pin  Define \n\n");
    EXPECT_NE(text.find("\n V    8  CW-LIMIT   CW over-travel inhibit input\n"), std::string::npos);
    EXPECT_NE(text.find("\n V   29  SVO-ON     Servo-ON input\n"), std::string::npos);
    EXPECT_NE(text.find("\n      9  CCW-LIMIT  CCW over-travel inhibit input\n"), std::string::npos);
    size_t marks = 0;
    for (size_t at = text.find("\n V"); at != std::string::npos; at = text.find("\n V", at + 1))
        ++marks;
    EXPECT_EQ(marks, 2u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);  // header, blank line, 10 pins

    const std::string outputs = PinListText(kOutputPins, 0x3F);
    EXPECT_NE(outputs.find("\n V   40  TLC        Torque in-limit signal output\n"), std::string::npos);

    // The pulse sums are signed, low word first.
    const struct {
        uint16_t low, high;
        int32_t sum;
    } rows[] = {{0, 0, 0}, {0xFFFF, 0xFFFF, -1}, {0x0001, 0x0001, 65537}, {0x0000, 0x8000, INT_MIN},
                {0xFFFF, 0x7FFF, INT_MAX}, {0xFF38, 0xFFFF, -200}};
    for (const auto& row : rows)
        EXPECT_EQ(PulseSum(row.low, row.high), row.sum) << row.low << " " << row.high;
}
