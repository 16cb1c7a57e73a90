// The wizard's tables: the range check, the edit-box number rule, the
// pulse-input types and the dialog table's agreement with the other tables.
#include "texts/LoadText.h"
#include "wizard/EditValueText.h"
#include "wizard/ParameterRangeTable.h"
#include "wizard/PulseInputTypes.h"
#include "wizard/WizardDialogTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace {

TEST(ParameterRangeTable, AcceptsOnlyTheListedValues)
{
    const struct {
        uint8_t parameter;
        int value;
        bool accepted;
    } rows[] = {
        {0x11, 1, true}, {0x11, 3500, true}, {0x11, 0, false}, {0x11, 3600, false},
        {0x28, 100, true}, {0x28, 1500, true}, {0x28, 1600, false}, {0x20, 0, true}, {0x20, 10000, true},
        // Unsigned limits: a negative number is a large word and is refused.
        {0x20, 0xFFFF, false}, {0x44, 255, true}, {0x44, 256, false},
        // Signed limits.
        {0x52, -5, true}, {0x52, -2047, true}, {0x52, -2048, false}, {0x52, 2048, false},
        {0x74, -10001, false}, {0x56, 10001, false},
        // Parameters no wizard edits are always refused.
        {0x00, 1, false}, {0x02, 0, false}, {0x5B, 0, false}, {0x57, 100, false}, {0x7F, 0, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AcceptsParameterValue(row.parameter, static_cast<uint16_t>(row.value)), row.accepted)
            << "Pr." << std::hex << int(row.parameter) << " = " << std::dec << row.value;
}

TEST(EditValueText, BecomesARegisterValueOrIsRefused)
{
    const struct {
        const char* text;
        std::optional<uint16_t> value;
    } rows[] = {
        {"36", 36}, {"  12", 12}, {"\t3", 3}, {"+7", 7}, {"-5", 0xFFFB}, {"12abc", 12}, {"1.5", 1}, {"0", 0},
        {"65535", 65535}, {"-32768", 0x8000},
        // No digits, or a number that would wrap into another value.
        {"", std::nullopt}, {"   ", std::nullopt}, {"abc", std::nullopt}, {"-", std::nullopt},
        {"- 5", std::nullopt}, {"65536", std::nullopt}, {"70000", std::nullopt}, {"-32769", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseEditValue(row.text), row.value) << '"' << row.text << '"';
}

TEST(PulseInputTypes, EachTypeIsOnePairAndReadsBackAsItself)
{
    const PulseInputType expected[kPulseInputTypeCount] = {{0, 0}, {0, 1}, {0, 3}, {1, 0}, {1, 1}, {1, 3}};
    for (int type = 0; type < kPulseInputTypeCount; ++type) {
        const PulseInputType values = PulseInputTypeValues(type);
        EXPECT_EQ(values.pr41, expected[type].pr41) << "Type " << type + 1;
        EXPECT_EQ(values.pr42, expected[type].pr42) << "Type " << type + 1;
        EXPECT_EQ(PulseInputTypeOf(values.pr41, values.pr42), type);
    }
    EXPECT_EQ(PulseInputTypeOf(0, 2), 0) << "Pr.42 = 2 selects Type 1";
    EXPECT_EQ(PulseInputTypeOf(1, 2), 3) << "and Type 4 with Pr.41 = 1";
    EXPECT_EQ(PulseInputTypeOf(2, 0), -1);
    EXPECT_EQ(PulseInputTypeOf(0, 4), -1);
    EXPECT_EQ(PulseInputTypeOf(0xFFFF, 0xFFFF), -1);
    EXPECT_EQ(PulseInputTypeValues(6).pr41, 0xFFFF) << "no type: a value every range refuses";
}

TEST(WizardDialogTable, EveryDialogAgreesWithTheRangeTableAndTheTexts)
{
    const auto& dialogs = WizardDialogs();
    ASSERT_EQ(dialogs.size(), static_cast<size_t>(kWizardDialogCount));
    std::set<int> templates;
    for (size_t i = 0; i < dialogs.size(); ++i) {
        const WizardDialogDescription& row = dialogs[i];
        SCOPED_TRACE(row.className);
        EXPECT_EQ(static_cast<size_t>(row.id), i) << "rows stand in the order of their ids";
        templates.insert(row.templateId);
        const std::vector<uint8_t> parameters = row.parameters();
        ASSERT_FALSE(parameters.empty());
        char expectedName[16];
        std::snprintf(expectedName, sizeof expectedName, "CWizard%02XDlg", parameters.front());
        EXPECT_STREQ(row.className, expectedName) << "named after its first parameter";
        for (uint8_t parameter : parameters)
            EXPECT_NE(FindParameterRange(parameter), nullptr) << "Pr." << std::hex << int(parameter);
        if (row.control != WizardControl::Edits) {
            // Option number i writes i: the options are exactly the accepted values.
            const ParameterRange* range = FindParameterRange(row.optionParameter);
            ASSERT_NE(range, nullptr);
            EXPECT_EQ(range->min, 0);
            EXPECT_EQ(range->max + 1, static_cast<int>(row.options.size()));
        }
        for (unsigned id : row.textIds())
            EXPECT_FALSE(LoadText(id).empty()) << "text " << id;
    }
    EXPECT_EQ(templates.size(), dialogs.size());
}

}  // namespace
