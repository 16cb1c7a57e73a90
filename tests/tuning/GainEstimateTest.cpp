// The manual gain estimate without a drive: the worked cases and the
// modify-check ranges, and the form's enabling rules.
#include "texts/LoadText.h"
#include "tuning/GainEstimate.h"
#include "tuning/ManualEstimateForm.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Results = std::array<const char*, kGainRowCount>;  // nullptr: not computed

struct EstimateCase {
    const char* name;
    int stiffness, bandwidth, responseTime;
    Results results;
    unsigned refusal;
    const char* responseCorrection;  // nullptr: none
    int shortest = -1;  // the shortest response time in force; -1: the bandwidth's own
};

struct RangeCase {
    ManualEstimateForm::Row now;
    int failingRow;
    const char* message;
};

}  // namespace

TEST(GainEstimate, WorkedCasesAndModifyRanges)
{
    const EstimateCase estimates[] = {
        {"stiffness 5, bandwidth 43", 5, 43, 1000, {"100", "43", "26", "57", "120"}, 0, nullptr},
        {"bandwidth 50 = A[6]: too low", 5, 50, 1000, {"100", "50", nullptr, nullptr, nullptr}, 446, nullptr},
        {"stiffness 0, bandwidth 5", 0, 5, 10000, {"10", "5", "70", "337", "120"}, 0, nullptr},
        {"stiffness 15, bandwidth 300", 15, 300, 1000, {"100", "300", "3", "25", "120"}, 0, nullptr},
        {"response 318 at bandwidth 100", 11, 100, 318, {"314", "100", "18", "25", "120"}, 0, nullptr},
        {"response 317 at bandwidth 100", 11, 100, 317, {nullptr, nullptr, nullptr, nullptr, nullptr}, 444, "318"},
        {"bandwidth 15 = A[1] at stiffness 2: too high", 2, 15, 10000, {"10", "15", nullptr, nullptr, nullptr}, 447, nullptr},
        {"response above 100000", 5, 43, 100001, {nullptr, nullptr, nullptr, nullptr, nullptr}, 444, "100000"},
        {"response 0 never divides", 5, 100000, 0, {nullptr, nullptr, nullptr, nullptr, nullptr}, 444, "1"},
        {"bandwidth 0", 5, 0, 1000, {"100", nullptr, nullptr, nullptr, nullptr}, 445, nullptr, 740},
        {"bandwidth 321", 15, 321, 1000, {"100", nullptr, nullptr, nullptr, nullptr}, 445, nullptr},
    };
    for (const EstimateCase& c : estimates) {
        EstimateInput in;
        in.stiffness = c.stiffness;
        in.bandwidth = c.bandwidth;
        in.responseTime = c.responseTime;
        in.shortestResponseTime = c.shortest >= 0 ? c.shortest : ShortestResponseTime(c.bandwidth);
        in.inertiaText = "120";
        const EstimateOutcome out = EstimateGains(in);
        EXPECT_EQ(out.refusalText, c.refusal) << c.name;
        for (int row = 0; row < kGainRowCount; ++row) {
            if (c.results[row])
                EXPECT_EQ(out.results[row].value_or("(none)"), c.results[row]) << c.name << " row " << row;
            else
                EXPECT_FALSE(out.results[row]) << c.name << " row " << row;
        }
        EXPECT_EQ(out.responseTimeCorrection.value_or(""), c.responseCorrection ? c.responseCorrection : "") << c.name;
        EXPECT_EQ(out.bandwidthCorrection.value_or(""), c.bandwidth < 1 ? "1" : "") << c.name;
    }

    ClearLanguageTable();
    const RangeCase ranges[] = {
        {{"1", "1", "1", "25", "0"}, -1, ""},
        {{"2000", "3500", "1000", "2500", "10000"}, -1, ""},
        {{"0", "1", "1", "25", "0"}, 0, "Parameter setting value out of range! Pr.10: 1~2000"},
        {{"2001", "1", "1", "25", "0"}, 0, "Parameter setting value out of range! Pr.10: 1~2000"},
        {{"1", "3501", "1", "25", "0"}, 1, "Parameter setting value out of range! Pr.11: 1~3500"},
        {{"1", "1", "1001", "25", "0"}, 2, "Parameter setting value out of range! Pr.12: 1~1000"},
        {{"1", "1", "1", "24", "0"}, 3, "Parameter setting value out of range! Pr.14: 25~2500"},
        {{"1", "1", "1", "2501", "0"}, 3, "Parameter setting value out of range! Pr.14: 25~2500"},
        {{"1", "1", "1", "25", "10001"}, 4, "Parameter setting value out of range!Pr.20: 0~10000"},
        {{"1", "1", "1", "25", "-1"}, 4, "Parameter setting value out of range!Pr.20: 0~10000"},
        {{"", "", "", "", ""}, 0, "Parameter setting value out of range! Pr.10: 1~2000"},
        {{"5", "x", "1", "25", "0"}, 1, "Parameter setting value out of range! Pr.11: 1~3500"},
        {{"99999999999", "1", "1", "25", "0"}, 0, "Parameter setting value out of range! Pr.10: 1~2000"},
    };
    for (const RangeCase& c : ranges) {
        EXPECT_EQ(FirstGainOutOfRange(c.now), c.failingRow) << c.message;
        EXPECT_EQ(GainRangeMessage(c.failingRow), c.message);
    }
}

TEST(ManualEstimateForm, EnablingFollowsTheEdits)
{
    ClearLanguageTable();
    enum class Edit { Inertia, Stiffness, Bandwidth, ResponseTime, Estimate, NowPr14, Modify };
    // Each edit, then what is enabled and what the person is told.
    const struct {
        Edit edit;
        const char* value;
        bool stiffnessList, responseTime, estimate, transfer;
        const char* told;
    } steps[] = {
        {Edit::Inertia, "-1", false, false, false, false, ""},
        {Edit::Inertia, "250", true, false, false, false, ""},
        {Edit::Stiffness, "5", true, true, true, false, ""},
        {Edit::Bandwidth, "51", true, false, false, false, ""},  // outside 36..50
        {Edit::Bandwidth, "50", true, true, true, false, ""},   // accepted, then refused
        {Edit::ResponseTime, "635", true, true, false, false, ""},  // below 636
        {Edit::ResponseTime, "1000", true, true, true, false, ""},
        {Edit::Estimate, "", true, true, true, false, "Stiffness value too low, please increase stiffness!"},
        {Edit::Bandwidth, "43", true, true, true, false, ""},
        {Edit::Estimate, "", true, true, true, true, ""},
        {Edit::Modify, "1", true, true, true, false, ""},
        {Edit::NowPr14, "24", true, true, true, false, ""},
        {Edit::Modify, "0", true, true, true, false, "Parameter setting value out of range! Pr.14: 25~2500"},
        {Edit::NowPr14, "60", true, true, true, false, ""},
        {Edit::Modify, "0", true, true, true, true, ""},
        {Edit::Inertia, "10001", false, false, false, false, ""},
    };
    ManualEstimateForm form(true, true);
    EXPECT_FALSE(form.enables().transfer) << "nothing estimated yet";
    int i = 0;
    for (const auto& step : steps) {
        std::string told;
        switch (step.edit) {
        case Edit::Inertia: form.inertiaEdited(step.value); break;
        case Edit::Stiffness: form.stiffnessChosen(std::atoi(step.value)); break;
        case Edit::Bandwidth: form.bandwidthEdited(step.value); break;
        case Edit::ResponseTime: form.responseTimeEdited(step.value); break;
        case Edit::NowPr14: form.nowEdited(RowPr14, step.value); break;
        case Edit::Modify: told = form.modifyToggled(std::atoi(step.value) == 1); break;
        case Edit::Estimate: told = LoadText(form.estimate()->refusalText); break;
        }
        EXPECT_EQ(form.enables().stiffnessList, step.stiffnessList) << "step " << i;
        EXPECT_EQ(form.enables().responseTime, step.responseTime) << "step " << i;
        EXPECT_EQ(form.enables().estimate, step.estimate) << "step " << i;
        EXPECT_EQ(form.enables().transfer, step.transfer) << "step " << i;
        EXPECT_EQ(told, step.told) << "step " << i;
        if (step.edit == Edit::Stiffness) {
            EXPECT_EQ(form.bandwidthLabel(), "Speed loop bandwidth (Hz) Range 37~49");
            EXPECT_EQ(form.responseTimeLabel(), "Position loop response time (ms) Range 740~100000");
        }
        ++i;
    }
    // The refused estimate left Pr.10 and Pr.11, which became "Previous".
    EXPECT_EQ(form.previous(), (ManualEstimateForm::Row{"100", "50", "", "", ""}));
    EXPECT_EQ(form.now(), (ManualEstimateForm::Row{"100", "43", "26", "60", "250"}));

    ManualEstimateForm offLine(false, true);
    offLine.stiffnessChosen(0);
    ASSERT_TRUE(offLine.estimate()->complete());
    EXPECT_FALSE(offLine.enables().read || offLine.enables().modifyCheck || offLine.enables().transfer);
}
