// Trigger geometry with synthetic record sequences.
#include "scope/TriggerCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

// Runs records of a mask through a capture; each channel's value a function of the record number.
struct Feed {
    TriggerCapture capture;
    std::vector<int> completed;               // the records that completed a capture
    std::map<int, std::vector<double>> last;  // the newest capture, by channel

    Feed(uint8_t mask, TriggerParameters p, int records, const std::function<int(int channel, int record)>& value)
    {
        for (int n = 0; n < records; ++n) {
            DecodedRecord r;
            r.layout = SlotsOfMask(mask);
            for (int k = 0; k < r.layout.used; ++k)
                r.value[k] = int16_t(value(r.layout.channel[k], n));
            if (!capture.addRecord(r, p))
                continue;
            completed.push_back(n);
            for (int k = 0; k < r.layout.used; ++k)
                last[r.layout.channel[k]] = capture.capture(k);
        }
    }
};

}  // namespace

// P worked out wrongly from N and Horizontal (float truncation), or Horizontal 0 or 100 accepted.
TEST(TriggerCapture, PreTriggerCountFromHorizontal)
{
    for (auto [n, h, p] : {std::tuple{500, 50, 250}, {500, 1, 5}, {500, 99, 495}, {10, 1, 0}, {100, 29, 29},
                           {2000, 33, 660}, {70, 10, 7}})
        EXPECT_EQ(PreTriggerCount(n, h), p) << n << " at " << h << " %";
    EXPECT_TRUE(!HorizontalInRange(0) && HorizontalInRange(1) && HorizontalInRange(99) && !HorizontalInRange(100));
}

// The trigger sample off index P, or followers before or after its slot covering other records.
TEST(TriggerCapture, TriggerSampleAtIndexPAndFollowersCoverTheSameRecords)
{
    const int edge = 900;
    for (auto [mask, trigger] : {std::pair{5, kDeviation}, {5, kSpeed}, {14, kSpeed}, {14, kTorque}, {11, kCommand}}) {
        // A step from 0 to 100 on the trigger channel; the others carry the record number.
        const int source = trigger;
        const Feed feed(uint8_t(mask), {500, 250, 10, source}, 2000,
                        [&](int channel, int n) { return channel == source ? (n >= edge ? 100 : 0) : n; });
        ASSERT_EQ(feed.completed, std::vector<int>{edge - 250 + 501}) << "complete when the window refills to N + 2";
        for (const auto& [channel, samples] : feed.last) {
            ASSERT_EQ(samples.size(), 501u);
            if (channel == trigger) {
                EXPECT_EQ(samples[249], 0);
                EXPECT_EQ(samples[250], 100);
            } else {
                EXPECT_EQ(samples.front(), edge - 250) << "mask " << mask << " follower " << channel;
                EXPECT_EQ(samples.back(), edge + 250);
            }
        }
    }
}

// Firing on a falling edge, a constant level, or a start not below the level.
TEST(TriggerCapture, EdgeRules)
{
    struct Case {
        int previous, newest, level;
        bool fires;
    };
    const Case cases[] = {
        {9, 10, 10, true},    // prev below, newest at the level
        {9, 50, 10, true},    // passing it
        {10, 11, 10, false},  // prev not below
        {20, 5, 10, false},   // falling
        {0, 0, 0, false},     // constant at the level
        {-1, 0, 0, true},
    };
    for (const Case& c : cases) {
        // A full window of the first value, then the second held.
        const Feed feed(4, {10, 5, c.level, kSpeed}, 40, [&](int, int n) { return n < 11 ? c.previous : c.newest; });
        EXPECT_EQ(!feed.completed.empty(), c.fires) << c.previous << " -> " << c.newest << " level " << c.level;
    }
}

// An edge as the window refills to N + 2 not restarting the capture, or one inside the refill
// tested; a capture that does not re-arm, or a reset that leaves samples behind.
TEST(TriggerCapture, NewEdgeRestartsTheCaptureAndEachCaptureReArms)
{
    const int n = 20, p = 5, first = 30, refill = n - p + 1;
    for (auto [second, completesAt] : {std::pair{first + refill, first + 2 * refill}, {first + refill - 1, first + refill}}) {
        const int again = second;
        const Feed feed(4, {n, p, 10, kSpeed}, 80, [&](int, int r) { return r == first || r == again ? 100 : 0; });
        ASSERT_EQ(feed.completed, std::vector<int>{completesAt}) << "second edge at " << second;
        EXPECT_EQ(feed.last.at(kSpeed)[p], 100);
        EXPECT_EQ(feed.last.at(kSpeed)[p - 1], 0);
    }
    // A rising edge every 25 records: edges at 25, 50, ..., 175 each give a capture.
    Feed feed(4, {10, 2, 1, kSpeed}, 200, [](int, int r) { return r % 25 == 0 ? 5 : 0; });
    EXPECT_EQ(feed.completed.size(), 7u);
    feed.capture.reset();
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(feed.capture.staging(k).empty());
    EXPECT_FALSE(feed.capture.triggered());
}
