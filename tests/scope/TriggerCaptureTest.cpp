// Trigger geometry with synthetic record sequences.
#include "scope/TriggerCapture.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Feeds records to a capture; each channel's value comes from a function
// of the record number.
class Feed {
public:
    Feed(uint8_t mask, TriggerParameters p) : mask_(mask), p_(p) {}
    // Returns the record numbers at which a capture completed.
    std::vector<int> run(int records, const std::function<int(int channel, int record)>& value)
    {
        std::vector<int> completed;
        for (int n = 0; n < records; ++n, ++record_) {
            DecodedRecord r;
            r.layout = SlotsOfMask(mask_);
            for (int k = 0; k < r.layout.used; ++k)
                r.value[static_cast<size_t>(k)] = static_cast<int16_t>(value(r.layout.channel[static_cast<size_t>(k)], record_));
            if (capture.addRecord(r, p_)) {
                completed.push_back(record_);
                for (int k = 0; k < r.layout.used; ++k)
                    last[r.layout.channel[static_cast<size_t>(k)]] = capture.capture(k);
            }
        }
        return completed;
    }
    TriggerCapture capture;
    std::map<int, std::vector<double>> last;  // by channel

private:
    uint8_t mask_;
    TriggerParameters p_;
    int record_ = 0;
};

// A step on the trigger channel from 0 to 100 at `edge`; every other
// channel carries the record number, so the records a capture covers show.
std::function<int(int, int)> stepAt(int triggerChannel, int edge)
{
    return [=](int channel, int record) { return channel == triggerChannel ? (record >= edge ? 100 : 0) : record; };
}

}  // namespace

TEST(TriggerCapture, PreTriggerCountFromHorizontal)
{
    for (auto [n, h, p] : {std::tuple{500, 50, 250}, {500, 1, 5}, {500, 99, 495}, {10, 1, 0}, {100, 29, 29},
                           {2000, 33, 660}, {70, 10, 7}})
        EXPECT_EQ(PreTriggerCount(n, h), p) << n << " at " << h << " %";
    EXPECT_FALSE(HorizontalInRange(0));
    EXPECT_FALSE(HorizontalInRange(100));
    EXPECT_TRUE(HorizontalInRange(1) && HorizontalInRange(99));
}

TEST(TriggerCapture, TriggerSampleAtIndexPAndFollowersCoverTheSameRecords)
{
    // Trigger slot first, middle and last: followers before and after it.
    struct Case {
        uint8_t mask;
        int trigger;
    };
    for (const Case c : {Case{5, kDeviation}, Case{5, kSpeed}, Case{14, kSpeed}, Case{14, kTorque}, Case{11, kCommand}}) {
        Feed feed(c.mask, {500, 250, 10, c.trigger});
        const int edge = 900;
        const std::vector<int> done = feed.run(2000, stepAt(c.trigger, edge));
        ASSERT_EQ(done.size(), 1u) << "mask " << int(c.mask);
        EXPECT_EQ(done[0], edge - 250 + 501) << "complete when the window refills to N + 2";
        const std::vector<double>& t = feed.last[c.trigger];
        ASSERT_EQ(t.size(), 501u);
        EXPECT_EQ(t[249], 0);
        EXPECT_EQ(t[250], 100);
        for (const auto& [channel, samples] : feed.last) {
            if (channel == c.trigger)
                continue;
            ASSERT_EQ(samples.size(), 501u);
            EXPECT_EQ(samples.front(), edge - 250) << "mask " << int(c.mask) << " follower " << channel;
            EXPECT_EQ(samples.back(), edge + 250);
        }
    }
}

TEST(TriggerCapture, EdgeRules)
{
    struct Case {
        std::vector<int> values;  // the trigger channel, then held at the last value
        int level;
        bool fires;
    };
    const Case cases[] = {
        {{9, 10}, 10, true},    // prev below, newest at the level
        {{9, 50}, 10, true},    // passing it
        {{10, 11}, 10, false},  // prev not below
        {{20, 5}, 10, false},   // falling
        {{0, 0}, 0, false},     // constant at the level
        {{-1, 0}, 0, true},
    };
    for (const Case& c : cases) {
        Feed feed(4, {10, 5, c.level, kSpeed});
        // A full window of the first value, then the rest.
        auto value = [&](int, int record) {
            const int i = record - 11;
            return i < 0 ? c.values.front() : c.values[static_cast<size_t>(std::min<int>(i, int(c.values.size()) - 1))];
        };
        const bool fired = !feed.run(40, value).empty();
        EXPECT_EQ(fired, c.fires) << c.values[0] << " -> " << c.values[1] << " level " << c.level;
    }
}

TEST(TriggerCapture, NewEdgeWhenTheWindowRefillsRestartsTheCapture)
{
    const int n = 20, p = 5, first = 30;
    // The window reaches N + 2 samples (N - P + 1 records after the edge):
    // a fresh rising edge exactly then restarts the capture around it.
    const int second = first + n - p + 1;
    Feed feed(4, {n, p, 10, kSpeed});
    auto value = [&](int, int record) { return record == first || record == second ? 100 : 0; };
    const std::vector<int> done = feed.run(80, value);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], second + n - p + 1);
    EXPECT_EQ(feed.last[kSpeed][static_cast<size_t>(p)], 100);
    EXPECT_EQ(feed.last[kSpeed][static_cast<size_t>(p) - 1], 0);

    // One record earlier the edge falls inside the refill and is not tested.
    Feed early(4, {n, p, 10, kSpeed});
    const std::vector<int> once = early.run(80, [&](int, int r) { return r == first || r == second - 1 ? 100 : 0; });
    ASSERT_EQ(once.size(), 1u);
    EXPECT_EQ(once[0], first + n - p + 1);
}

TEST(TriggerCapture, ReArmsAfterEachCaptureAndResetClears)
{
    Feed feed(4, {10, 2, 1, kSpeed});
    // A rising edge every 25 records: every one gives its own capture.
    const std::vector<int> done = feed.run(200, [](int, int r) { return r % 25 == 0 ? 5 : 0; });
    EXPECT_EQ(done.size(), 7u);  // edges at 25, 50, ..., 175
    feed.capture.reset();
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(feed.capture.staging(k).empty());
    EXPECT_FALSE(feed.capture.triggered());
}
