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

struct RangeCase {
    uint8_t parameter;
    uint16_t value;
    bool accepted;
};

void PrintTo(const RangeCase& c, std::ostream* os)
{
    *os << "Pr." << std::hex << int(c.parameter) << " = " << std::dec << c.value;
}

class RangeCheck : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeCheck, AcceptsOnlyTheListedValues)
{
    const RangeCase c = GetParam();
    EXPECT_EQ(AcceptsParameterValue(c.parameter, c.value), c.accepted)
        << "Pr." << std::hex << int(c.parameter) << " = " << std::dec << c.value;
}

INSTANTIATE_TEST_SUITE_P(Limits, RangeCheck, ::testing::Values(
    RangeCase{0x11, 1, true}, RangeCase{0x11, 3500, true}, RangeCase{0x11, 0, false},
    RangeCase{0x11, 3600, false},
    RangeCase{0x28, 100, true}, RangeCase{0x28, 1500, true}, RangeCase{0x28, 1600, false},
    RangeCase{0x20, 0, true}, RangeCase{0x20, 10000, true},
    // Unsigned limits: a negative number is a large word and is refused.
    RangeCase{0x20, 0xFFFF, false}, RangeCase{0x44, 255, true}, RangeCase{0x44, 256, false},
    // Signed limits.
    RangeCase{0x52, 0xFFFB, true}, RangeCase{0x52, static_cast<uint16_t>(-2047), true},
    RangeCase{0x52, static_cast<uint16_t>(-2048), false}, RangeCase{0x52, 2048, false},
    RangeCase{0x74, static_cast<uint16_t>(-10001), false}, RangeCase{0x56, 10001, false},
    // Parameters no wizard edits are always refused.
    RangeCase{0x00, 1, false}, RangeCase{0x02, 0, false}, RangeCase{0x5B, 0, false},
    RangeCase{0x57, 100, false}, RangeCase{0x7F, 0, false}));

struct TextCase {
    const char* text;
    std::optional<uint16_t> value;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class EditText : public ::testing::TestWithParam<TextCase> {};

TEST_P(EditText, BecomesARegisterValueOrIsRefused)
{
    const TextCase c = GetParam();
    EXPECT_EQ(ParseEditValue(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, EditText, ::testing::Values(
    TextCase{"36", 36}, TextCase{"  12", 12}, TextCase{"\t3", 3}, TextCase{"+7", 7},
    TextCase{"-5", 0xFFFB}, TextCase{"12abc", 12}, TextCase{"1.5", 1}, TextCase{"0", 0},
    TextCase{"65535", 65535}, TextCase{"-32768", 0x8000},
    // No digits, or a number that would wrap into another value.
    TextCase{"", std::nullopt}, TextCase{"   ", std::nullopt}, TextCase{"abc", std::nullopt},
    TextCase{"-", std::nullopt}, TextCase{"- 5", std::nullopt}, TextCase{"65536", std::nullopt},
    TextCase{"70000", std::nullopt}, TextCase{"-32769", std::nullopt},
    TextCase{"99999999999999999999999", std::nullopt}));

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
    std::set<std::string> names;
    std::set<int> templates;
    for (size_t i = 0; i < dialogs.size(); ++i) {
        const WizardDialogSpec& spec = dialogs[i];
        SCOPED_TRACE(spec.className);
        EXPECT_EQ(static_cast<size_t>(spec.id), i) << "rows stand in the order of their ids";
        names.insert(spec.className);
        templates.insert(spec.templateId);
        const std::vector<uint8_t> parameters = spec.parameters();
        ASSERT_FALSE(parameters.empty());
        char expectedName[16];
        std::snprintf(expectedName, sizeof expectedName, "CWizard%02XDlg", parameters.front());
        EXPECT_STREQ(spec.className, expectedName) << "named after its first parameter";
        for (uint8_t parameter : parameters)
            EXPECT_NE(FindParameterRange(parameter), nullptr) << "Pr." << std::hex << int(parameter);
        if (spec.control != WizardControl::Edits) {
            // Option number i writes i: the options are exactly the accepted values.
            const ParameterRange* range = FindParameterRange(spec.optionParameter);
            ASSERT_NE(range, nullptr);
            EXPECT_EQ(range->min, 0);
            EXPECT_EQ(range->max + 1, static_cast<int>(spec.options.size()));
        }
        for (unsigned id : spec.textIds())
            EXPECT_FALSE(LoadText(id).empty()) << "text " << id;
    }
    EXPECT_EQ(names.size(), dialogs.size());
    EXPECT_EQ(templates.size(), dialogs.size());
}

}  // namespace
