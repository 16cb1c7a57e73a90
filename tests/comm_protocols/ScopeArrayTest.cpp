// The scope ring: indices, triggers, time axis, text export and plot.
#include "comm/CScopeArray.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Slot i holds the i-th value on channel 0, its negation on channel 1.
CScopeArray ringOf(const std::vector<int>& values) {
    CScopeArray ring(static_cast<int>(values.size()));
    unsigned long stamp = 0;
    for (int v : values) ring.Add(stamp++, v, -v, 1000);
    ring.ArrangeTimeAxis();
    return ring;
}

std::array<int, 3> aheadTailTrigger(CScopeArray& ring) { return {ring.GetAhead(), ring.GetTail(), ring.GetTrigger()}; }

}  // namespace

// Ahead, tail and trigger indices advance together and wrap; a tiny ring is made two long.
TEST(ScopeArray, IndicesAdvanceTogetherAndWrap) {
    CScopeArray ring(8);
    EXPECT_EQ(aheadTailTrigger(ring), (std::array<int, 3>{0, 1, 4}));
    for (int i = 0; i < 4; ++i) ring.Add(i, i, 0, 0);
    EXPECT_EQ(aheadTailTrigger(ring), (std::array<int, 3>{4, 5, 0}));  // the trigger wrapped first
    for (int i = 4; i < 8; ++i) ring.Add(i, i, 0, 0);
    EXPECT_EQ(aheadTailTrigger(ring), (std::array<int, 3>{0, 1, 4}));
    CScopeArray tiny(0);
    EXPECT_EQ(tiny.GetSize(), 2);
    EXPECT_EQ(tiny.TriggerDetect(), 0);
}

// Triggers fire on the edge between the two middle slots, on either channel.
TEST(ScopeArray, TriggersLookAtTheMiddleOfTheRing) {
    // Slot 3 is the pre-trigger sample, slot 4 the trigger sample.
    CScopeArray ring = ringOf({0, 0, 0, 100, 101, 0, 0, 0});
    const struct { long level; int channel, edge, fires; } edges[] = {
        {100, 0, 0, 1},    // 100 <= level < 101
        {101, 0, 0, 0},
        {-100, 1, 1, 1}};  // channel 1 falls from -100 to -101
    for (const auto& e : edges) {
        ring.TriggerSetup(e.level, e.channel, e.edge);
        EXPECT_EQ(ring.TriggerDetect(), e.fires) << e.level << " on " << e.channel;
    }
}

// Time axis from five-bit stamps: wraps and jumps fold the way the drive counts.
TEST(ScopeArray, TimeAxisFromFiveBitStampsAndFoldedCounters) {
    CScopeArray ring(4);
    long last = 65530;
    EXPECT_EQ(ring.IncrementCross(4, &last, 65536, 32768), 10);
    EXPECT_EQ(last, 4);
    EXPECT_EQ(ring.IncrementCross(65530, &last, 65536, 32768), -10);
    // Six samples into four slots: the oldest (stamp 30) sits at slot 2.
    for (unsigned long stamp : {28ul, 29ul, 30ul, 31ul, 0ul, 1ul}) ring.Add(stamp, 0, 0, 0);
    ring.ArrangeTimeAxis();
    for (int n = 0; n < 4; ++n) EXPECT_DOUBLE_EQ(ring.At(2 + n).time, n) << n;

    CScopeArray jumps(4);
    for (unsigned long stamp : {0ul, 11ul, 0ul, 1ul}) jumps.Add(stamp, 0, 0, 0);
    jumps.ArrangeTimeAxis();
    EXPECT_DOUBLE_EQ(jumps.At(1).time, -21.0);  // +11 is a wrap back by 21
    EXPECT_DOUBLE_EQ(jumps.At(2).time, -6.0);   // -11 folds to 21, counted as 15
}

// An export appends to the file itself: a symlink, the mode and a read-only folder are kept.
TEST(ScopeArray, SaveAppendsOneLinePerRecordToTheFileItself) {
    const fs::path dir = fs::temp_directory_path() / ("scopearray." + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    const fs::path target = dir / "data" / "wave.txt";
    const std::string path = (dir / "link.txt").string();
    std::ofstream(target) << "head\n";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(target, path);
    // A folder the user may not write in (root may, all the same).
    fs::permissions(dir / "data", fs::perms::owner_read | fs::perms::owner_exec);
    CScopeArray ring(2);
    ring.Add(30, 1, -2, 3);
    ring.Add(31, 4, 5, -6);
    ring.Add(0, 7, 8, 9);  // overwrites stamp 30; the oldest is now 31
    ring.ArrangeTimeAxis();
    ASSERT_EQ(ring.SaveToFile(path.c_str()), 1);
    ASSERT_EQ(ring.SaveToFile(target.c_str()), 1);
    std::stringstream text;
    text << std::ifstream(target).rdbuf();
    const std::string once = "31\t0.000000\t4\t5\t-6\t\n0\t1.000000\t7\t8\t9\t\n";
    EXPECT_EQ(text.str(), "head\n" + once + once);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);
    EXPECT_EQ(ring.SaveToFile((dir / "missing" / "wave.txt").c_str()), 0);
    fs::permissions(dir / "data", fs::perms::owner_all);
    fs::remove_all(dir);
}

// Curves are scaled and clipped into the rectangle; nothing is drawn without spread.
TEST(ScopeArrayPlot, PixelsOfScaledAndClippedCurvesAndNothingWithoutSpread) {
    constexpr QRgb kRed = 0xFF0000, kBlack = 0;
    struct Pixel { int x, y; QRgb colour; };
    // Stamps 0..3 give times 0..3, so x = time * 200 / 3; full scale 100.
    const struct { std::vector<int> values; std::vector<Pixel> pixels; } plots[] = {
        {{0, 0, 25, 25},  // 0 on the middle line, 25 of 100 a quarter of the height up
         {{10, 50, kRed}, {170, 25, kRed}, {10, 25, kBlack}, {170, 50, kBlack}}},
        {{1000, 1000, -1000, -1000}, {{30, 2, kRed}, {170, 97, kRed}}}};  // kept inside
    QImage image(200, 100, QImage::Format_RGB32);
    for (const auto& p : plots) {
        image.fill(Qt::black);
        QPainter painter(&image);
        ringOf(p.values).Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, 0, 100);
        painter.end();
        for (const Pixel& px : p.pixels)
            EXPECT_EQ(image.pixel(px.x, px.y) & 0xFFFFFF, px.colour) << px.x << "," << px.y;
    }
    // Zero full scale, or no time elapsed: nothing to spread, nothing drawn.
    image.fill(Qt::black);
    const QImage blank = image;
    QPainter painter(&image);
    ringOf({1, 2, 3, 4}).Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, 0, 0.0);
    CScopeArray(4).Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, 0, 100);
    painter.end();
    EXPECT_EQ(image, blank);
}
