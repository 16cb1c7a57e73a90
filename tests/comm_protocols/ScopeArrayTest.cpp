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
    return ring;
}

std::array<int, 3> aheadTailTrigger(CScopeArray& ring) { return {ring.GetAhead(), ring.GetTail(), ring.GetTrigger()}; }

}  // namespace

TEST(ScopeArray, IndicesAdvanceTogetherAndWrap) {
    CScopeArray ring(8);
    EXPECT_EQ(aheadTailTrigger(ring), (std::array<int, 3>{0, 1, 4}));
    for (int i = 0; i < 4; ++i) ring.Add(i, i, 0, 0);
    EXPECT_EQ(aheadTailTrigger(ring), (std::array<int, 3>{4, 5, 0}));  // the trigger wrapped first
    for (int i = 4; i < 8; ++i) ring.Add(i, i, 0, 0);
    EXPECT_EQ(aheadTailTrigger(ring), (std::array<int, 3>{0, 1, 4}));
    EXPECT_EQ(ring.MoveNext(), 1);
    EXPECT_EQ(ring.At(0).channel[0], 0);  // MoveNext writes nothing
    // A ring too short for the trigger pair is made two long.
    CScopeArray tiny(0);
    EXPECT_EQ(tiny.GetSize(), 2);
    EXPECT_EQ(tiny.TriggerDetect(), 0);
}

TEST(ScopeArray, TriggersLookAtTheMiddleOfTheRing) {
    // Slot 3 is the pre-trigger sample, slot 4 the trigger sample.
    CScopeArray ring = ringOf({0, 0, 0, 100, 101, 0, 0, 0});
    const struct { long level; int channel, edge, fires; } edges[] = {
        {100, 0, 0, 1},    // 100 <= level < 101
        {101, 0, 0, 0},
        {-100, 1, 1, 1},   // channel 1 falls from -100 to -101
        {100, 2, 0, 0}};   // no such edge
    for (const auto& e : edges) {
        ring.TriggerSetup(e.level, e.channel, e.edge);
        EXPECT_EQ(ring.TriggerDetect(), e.fires) << e.level << " on " << e.channel;
    }
    long value = 0;
    ring.OutBoundsTriggerSetup(100, -100, 0);
    EXPECT_EQ(ring.OutBoundsTriggerDetect(&value), 1);
    EXPECT_EQ(value, 101);
    ring.OutBoundsTriggerSetup(100, -100, 1);
    EXPECT_EQ(ring.OutBoundsTriggerDetect(&value), 1);
    EXPECT_EQ(value, -101);
    ring.OutBoundsTriggerSetup(2000, -2000, 2);  // 1000 stays inside
    EXPECT_EQ(ring.OutBoundsTriggerDetect(nullptr), 0);
}

TEST(ScopeArray, IncrementCrossFoldsTheWrap) {
    CScopeArray ring(2);
    long last = 65530;
    EXPECT_EQ(ring.IncrementCross(4, &last, 65536, 32768), 10);
    EXPECT_EQ(last, 4);
    EXPECT_EQ(ring.IncrementCross(65530, &last, 65536, 32768), -10);
    EXPECT_EQ(ring.IncrementCross(65600, &last, 65536, 32768), 70);
}

TEST(ScopeArray, TimeAxisFromFiveBitStamps) {
    CScopeArray ring(4);
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

TEST(ScopeArray, SaveAppendsOneLinePerRecordThroughATemporary) {
    const fs::path dir = fs::temp_directory_path() / ("scopearray." + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "wave.txt").string();
    CScopeArray ring(2);
    ring.Add(30, 1, -2, 3);
    ring.Add(31, 4, 5, -6);
    ring.Add(0, 7, 8, 9);  // overwrites stamp 30; the oldest is now 31
    ring.ArrangeTimeAxis();
    ASSERT_EQ(ring.SaveToFile(path.c_str()), 1);
    ASSERT_EQ(ring.SaveToFile(path.c_str()), 1);
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    const std::string once = "31\t0.000000\t4\t5\t-6\t\n0\t1.000000\t7\t8\t9\t\n";
    EXPECT_EQ(text.str(), once + once);
    EXPECT_EQ(ring.SaveToFile((dir / "missing" / "wave.txt").c_str()), 0);
    EXPECT_EQ(ring.SaveToFile(nullptr), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

TEST(ScopeArrayPlot, PixelsOfScaledClippedAndMarkedCurves) {
    constexpr QRgb kRed = 0xFF0000, kBlack = 0, kWhite = 0xFFFFFF;
    struct Pixel { int x, y; QRgb colour; };
    // Stamps 0..3 give times 0..3, so x = time * 200 / 3; full scale 100.
    const struct { std::vector<int> values; int channel; std::vector<Pixel> pixels; QPoint last = {}; } plots[] = {
        {{0, 0, 25, 25}, 0,  // 0 on the middle line, 25 of 100 a quarter of the height up
         {{10, 50, kRed}, {170, 25, kRed}, {10, 25, kBlack}, {170, 50, kBlack}}, QPoint(200, 25)},
        {{1000, 1000, -1000, -1000}, 0, {{30, 2, kRed}, {170, 97, kRed}}},  // kept inside
        {{0, 0, 0, 0}, 2, {{100, 2, kRed}}},  // channel 2 holds 1000
        {{0, 0, 0, 0}, 0 | CScopeArray::kPlotMarkers,  // markers around the second point (x = 66) and the first
         {{65, 49, kWhite}, {67, 51, kWhite}, {1, 49, kWhite}, {30, 49, kBlack}, {30, 50, kRed}}}};
    QImage image(200, 100, QImage::Format_RGB32);
    for (const auto& p : plots) {
        image.fill(Qt::black);
        CScopeArray ring = ringOf(p.values);
        ring.ArrangeTimeAxis();
        QPainter painter(&image);
        ring.Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, p.channel, 100);
        painter.end();
        for (const Pixel& px : p.pixels)
            EXPECT_EQ(image.pixel(px.x, px.y) & 0xFFFFFF, px.colour) << p.channel << " at " << px.x << "," << px.y;
        if (!p.last.isNull()) {
            EXPECT_EQ(QPoint(ring.LastPlotX(), ring.LastPlotY()), p.last);
        }
    }
}

TEST(ScopeArrayPlot, NothingToSpreadDrawsNothing) {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QImage blank = image;
    QPainter painter(&image);
    CScopeArray ring = ringOf({1, 2, 3, 4});
    ring.ArrangeTimeAxis();
    ring.Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, 0, 0.0);  // zero full scale
    CScopeArray(4).Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, 0, 100);  // no time elapsed
    painter.end();
    EXPECT_EQ(image, blank);
}
