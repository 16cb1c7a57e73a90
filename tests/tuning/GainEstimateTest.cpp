// The manual gain estimate without a drive: the worked cases and the
// modify-check ranges, the bandwidth and response-time limits, and the
// form's enabling rules.
#include "texts/LoadText.h"
#include "tuning/GainEstimate.h"
#include "tuning/ManualEstimateForm.h"

#include <gtest/gtest.h>

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
    };
    for (const RangeCase& c : ranges) {
        EXPECT_EQ(FirstGainOutOfRange(c.now), c.failingRow) << c.message;
        EXPECT_EQ(GainRangeMessage(c.failingRow), c.message);
    }
}

TEST(GainEstimate, BandwidthAndResponseTimeLimits)
{
    const struct {
        int stiffness;
        IntRange shown, accepted;
    } bands[] = {{0, {1, 14}, {1, 15}}, {5, {37, 49}, {36, 50}}, {15, {186, 320}, {185, 320}}};
    for (const auto& b : bands) {
        EXPECT_EQ(BandwidthLabelRange(b.stiffness).lo, b.shown.lo) << b.stiffness;
        EXPECT_EQ(BandwidthLabelRange(b.stiffness).hi, b.shown.hi) << b.stiffness;
        EXPECT_EQ(AcceptedBandwidth(b.stiffness).lo, b.accepted.lo) << b.stiffness;
        EXPECT_EQ(AcceptedBandwidth(b.stiffness).hi, b.accepted.hi) << b.stiffness;
    }
    const struct {
        int bandwidth, shortest;
    } times[] = {{1, 31831}, {43, 740}, {100, 318}, {320, 99}, {0, 100000}};
    for (const auto& t : times)
        EXPECT_EQ(ShortestResponseTime(t.bandwidth), t.shortest) << t.bandwidth;
    EXPECT_EQ(DefaultResponseTime(5), 1694);
    EXPECT_EQ(LeadingInteger("  12abc"), 12);
    EXPECT_EQ(LeadingInteger("-7"), -7);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger("99999999999"), 2147483647);
}

TEST(ManualEstimateForm, EnablingFollowsTheEdits)
{
    ClearLanguageTable();
    ManualEstimateForm form(true, true);
    EXPECT_TRUE(form.enables().read);
    EXPECT_TRUE(form.enables().stiffnessList);
    EXPECT_FALSE(form.enables().bandwidth);
    EXPECT_FALSE(form.enables().estimate);
    EXPECT_FALSE(form.enables().transfer) << "nothing estimated yet";
    EXPECT_FALSE(form.enables().modifyCheck);

    // Inertia: below 0 and above 10000 close the way to an estimate.
    form.inertiaEdited("-1");
    EXPECT_FALSE(form.enables().stiffnessList);
    form.inertiaEdited("250");
    EXPECT_TRUE(form.enables().stiffnessList);

    form.stiffnessChosen(5);
    EXPECT_EQ(form.bandwidthText(), "43");
    EXPECT_EQ(form.responseTimeText(), "1694");
    EXPECT_EQ(form.bandwidthLabel(), "Speed loop bandwidth (Hz) Range 37~49");
    EXPECT_EQ(form.responseTimeLabel(), "Position loop response time (ms) Range 740~100000");
    EXPECT_TRUE(form.enables().estimate);

    form.bandwidthEdited("51");  // outside 36..50
    EXPECT_FALSE(form.enables().responseTime);
    EXPECT_FALSE(form.enables().estimate);
    form.bandwidthEdited("50");  // accepted, though the estimate will refuse it
    EXPECT_TRUE(form.enables().estimate);
    EXPECT_EQ(form.shortestResponseTime(), 636);
    form.responseTimeEdited("635");
    EXPECT_FALSE(form.enables().estimate);
    form.responseTimeEdited("1000");
    EXPECT_TRUE(form.enables().estimate);

    // A refusal keeps the results computed before it; Transfer stays shut.
    auto refused = form.estimate();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->refusalText, 446u);
    EXPECT_EQ(form.now()[RowPr10], "100");
    EXPECT_EQ(form.now()[RowPr11], "50");
    EXPECT_EQ(form.now()[RowPr12], "");
    EXPECT_FALSE(form.enables().transfer);

    form.bandwidthEdited("43");
    auto done = form.estimate();
    ASSERT_TRUE(done && done->complete());
    EXPECT_EQ(form.previous()[RowPr11], "50");
    EXPECT_EQ(form.now()[RowPr20], "250");
    EXPECT_TRUE(form.enables().transfer);
    EXPECT_TRUE(form.enables().modifyCheck);

    // Modify: Transfer waits until every value fits again.
    EXPECT_EQ(form.modifyToggled(true), "");
    EXPECT_FALSE(form.enables().transfer);
    form.nowEdited(RowPr14, "24");
    EXPECT_EQ(form.modifyToggled(false), "Parameter setting value out of range! Pr.14: 25~2500");
    EXPECT_TRUE(form.modifyChecked());
    EXPECT_FALSE(form.enables().transfer);
    form.nowEdited(RowPr14, "60");
    EXPECT_EQ(form.modifyToggled(false), "");
    EXPECT_TRUE(form.enables().transfer);

    form.inertiaEdited("10001");
    EXPECT_FALSE(form.enables().stiffnessList);
    EXPECT_FALSE(form.enables().estimate);
    EXPECT_FALSE(form.enables().transfer);
    EXPECT_FALSE(form.enables().modifyCheck);
}

TEST(ManualEstimateForm, OffLineNeverReachesForTheDrive)
{
    ManualEstimateForm form(false, true);
    form.stiffnessChosen(0);
    form.bandwidthEdited("5");
    ASSERT_TRUE(form.estimate()->complete());
    EXPECT_EQ(form.now()[RowPr12], "70");
    EXPECT_FALSE(form.enables().read);
    EXPECT_FALSE(form.enables().modifyCheck);
    EXPECT_FALSE(form.enables().transfer);

    ManualEstimateForm empty(true, true);
    EXPECT_FALSE(empty.estimate()) << "no bandwidth yet: nothing happens";
    empty.deactivate();
    EXPECT_FALSE(empty.enables().inertia);
    EXPECT_FALSE(empty.enables().stiffnessList);
}
