// The scope ring: indices, triggers, time axis, text export and plot.
#include "comm/CScopeArray.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRect>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// Fills a ring so that slot i holds the i-th sample (ahead is back at 0).
void fill(CScopeArray& ring, std::initializer_list<int> channel0) {
    unsigned long stamp = 0;
    for (int v : channel0) ring.Add(stamp++, v, -v, 2 * v);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int countEntries(const std::string& dir) {
    int n = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/scopearray.XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

}  // namespace

TEST(ScopeArrayRing, IndicesAdvanceTogetherAndWrap) {
    CScopeArray ring(8);
    EXPECT_EQ(ring.GetAhead(), 0);
    EXPECT_EQ(ring.GetTail(), 1);
    EXPECT_EQ(ring.GetTrigger(), 4);
    for (int i = 0; i < 3; ++i) ring.Add(i, i, 0, 0);
    EXPECT_EQ(ring.GetAhead(), 3);
    EXPECT_EQ(ring.GetTail(), 4);
    EXPECT_EQ(ring.GetTrigger(), 7);
    EXPECT_EQ(ring.Add(3, 3, 0, 0), 4);
    EXPECT_EQ(ring.GetTrigger(), 0);  // wrapped
    EXPECT_EQ(ring.GetTail(), 5);
    for (int i = 4; i < 8; ++i) ring.Add(i, i, 0, 0);
    EXPECT_EQ(ring.GetAhead(), 0);
    EXPECT_EQ(ring.GetTrigger(), 4);
    EXPECT_EQ(ring.MoveNext(), 1);
    EXPECT_EQ(ring.At(0).channel[0], 0);  // MoveNext writes nothing
    EXPECT_EQ(ring.At(7).channel[0], 7);
}

TEST(ScopeArrayRing, TooShortRingStillHoldsTheTriggerPair) {
    for (int size : {-3, 0, 1}) {
        CScopeArray ring(size);
        EXPECT_EQ(ring.GetSize(), 2);
        EXPECT_EQ(ring.GetTrigger(), 1);
        ring.TriggerSetup(0, 0, 0);
        ring.Add(0, 5, 0, 0);  // the trigger slot moves onto the new sample
        EXPECT_EQ(ring.TriggerDetect(), 1);
        ring.Add(0, 5, 0, 0);
        EXPECT_EQ(ring.TriggerDetect(), 0);
    }
}

TEST(ScopeArrayTrigger, LevelEdgesAtTheMiddleOfTheRing) {
    CScopeArray ring(8);
    // Slot 3 is the pre-trigger sample, slot 4 the trigger sample.
    fill(ring, {0, 0, 0, 10, 11, 0, 0, 0});
    ring.TriggerSetup(10, 0, 0);
    EXPECT_EQ(ring.TriggerDetect(), 1);  // 10 <= level < 11
    ring.TriggerSetup(11, 0, 0);
    EXPECT_EQ(ring.TriggerDetect(), 0);  // level must lie below the new value
    ring.TriggerSetup(10, 1, 0);
    EXPECT_EQ(ring.TriggerDetect(), 0);  // rising data never fires falling
    ring.TriggerSetup(-10, 1, 1);        // channel 1 holds -10, -11
    EXPECT_EQ(ring.TriggerDetect(), 1);
    ring.TriggerSetup(10, 2, 0);
    EXPECT_EQ(ring.TriggerDetect(), 0);  // unknown edge
    ring.TriggerSetup(10, 0, 7);
    EXPECT_EQ(ring.TriggerDetect(), 0);  // unknown channel reads 0
}

TEST(ScopeArrayTrigger, WindowFiresOnLeavingEitherBound) {
    CScopeArray ring(8);
    fill(ring, {0, 0, 0, 100, 101, 0, 0, 0});
    long value = 0;
    EXPECT_EQ(ring.OutBoundsTriggerDetect(&value), 0);  // bounds start at 0: 100 -> 101 leaves neither
    ring.OutBoundsTriggerSetup(100, -100, 0);
    EXPECT_EQ(ring.OutBoundsTriggerDetect(&value), 1);
    EXPECT_EQ(value, 101);
    ring.OutBoundsTriggerSetup(100, -100, 1);  // -100 -> -101 leaves downwards
    value = 0;
    EXPECT_EQ(ring.OutBoundsTriggerDetect(&value), 1);
    EXPECT_EQ(value, -101);
    EXPECT_EQ(ring.OutBoundsTriggerDetect(nullptr), 1);
    ring.OutBoundsTriggerSetup(300, -300, 2);  // 200 -> 202 stays inside
    value = 7;
    EXPECT_EQ(ring.OutBoundsTriggerDetect(&value), 0);
    EXPECT_EQ(value, 7);
}

TEST(ScopeArrayTime, IncrementCrossFoldsTheWrap) {
    CScopeArray ring(4);
    long last = 65530;
    EXPECT_EQ(ring.IncrementCross(4, &last, 65536, 32768), 10);
    EXPECT_EQ(last, 4);
    EXPECT_EQ(ring.IncrementCross(65530, &last, 65536, 32768), -10);
    EXPECT_EQ(ring.IncrementCross(65600, &last, 65536, 32768), 70);
}

TEST(ScopeArrayTime, StampsBuildTheAxisAcrossTheWrap) {
    CScopeArray ring(4);
    // Six samples into four slots: the oldest (stamp 30) sits at slot 2.
    for (unsigned long stamp : {28ul, 29ul, 30ul, 31ul, 0ul, 1ul}) ring.Add(stamp, 0, 0, 0);
    ring.ArrangeTimeAxis();
    EXPECT_EQ(ring.GetAhead(), 2);
    const double expected[4] = {0, 1, 2, 3};
    for (int n = 0; n < 4; ++n) EXPECT_DOUBLE_EQ(ring.At((2 + n) % 4).time, expected[n]) << n;
}

TEST(ScopeArrayTime, JumpsCountBackwardsOrAsFifteen) {
    CScopeArray ring(4);
    for (unsigned long stamp : {0ul, 11ul, 0ul, 1ul}) ring.Add(stamp, 0, 0, 0);
    ring.ArrangeTimeAxis();
    EXPECT_DOUBLE_EQ(ring.At(1).time, -21.0);  // +11 is a wrap back by 21
    EXPECT_DOUBLE_EQ(ring.At(2).time, -6.0);   // -11 folds to 21, counted as 15
    EXPECT_DOUBLE_EQ(ring.At(3).time, -5.0);
}

TEST(ScopeArrayFile, AppendsOneLinePerRecordOldestFirst) {
    TempDir dir;
    const std::string path = dir.path + "/wave.txt";
    CScopeArray ring(2);
    ring.Add(30, 1, -2, 3);
    ring.Add(31, 4, 5, -6);
    ring.Add(0, 7, 8, 9);  // overwrites stamp 30; the oldest is now 31
    ring.ArrangeTimeAxis();
    ASSERT_EQ(ring.SaveToFile(path.c_str()), 1);
    const std::string once = "31\t0.000000\t4\t5\t-6\t\n0\t1.000000\t7\t8\t9\t\n";
    EXPECT_EQ(readAll(path), once);
    ASSERT_EQ(ring.SaveToFile(path.c_str()), 1);
    EXPECT_EQ(readAll(path), once + once);
    EXPECT_EQ(countEntries(dir.path), 1);  // no temporary left behind
}

TEST(ScopeArrayFile, UnwritablePlaceWritesNothing) {
    TempDir dir;
    CScopeArray ring(4);
    EXPECT_EQ(ring.SaveToFile((dir.path + "/missing/wave.txt").c_str()), 0);
    EXPECT_EQ(ring.SaveToFile(""), 0);
    EXPECT_EQ(ring.SaveToFile(nullptr), 0);
    EXPECT_EQ(countEntries(dir.path), 0);
}

class ScopeArrayPlot : public ::testing::Test {
protected:
    ScopeArrayPlot() : image(200, 100, QImage::Format_RGB32) { image.fill(Qt::black); }

    // Stamps 0..3 give times 0..3, so x = time * 200 / 3.
    void plot(std::initializer_list<int> channel0, int channel, double fullScale = 100) {
        CScopeArray ring(4);
        unsigned long stamp = 0;
        for (int v : channel0) ring.Add(stamp++, v, 1000, 0);
        ring.ArrangeTimeAxis();
        QPainter painter(&image);
        ring.Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, channel, fullScale);
        lastX = ring.LastPlotX();
        lastY = ring.LastPlotY();
    }
    QRgb at(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }

    QImage image;
    int lastX = 0, lastY = 0;
    static constexpr QRgb kRed = 0xFF0000, kBlack = 0, kWhite = 0xFFFFFF;
};

TEST_F(ScopeArrayPlot, ValuesAreScaledAroundTheMiddle) {
    plot({0, 0, 25, 25}, 0);
    EXPECT_EQ(at(10, 50), kRed);     // value 0 on the middle line
    EXPECT_EQ(at(170, 25), kRed);    // 25 of full scale 100 is a quarter up
    EXPECT_EQ(at(10, 25), kBlack);
    EXPECT_EQ(at(170, 50), kBlack);
    EXPECT_EQ(lastX, 200);
    EXPECT_EQ(lastY, 25);
}

TEST_F(ScopeArrayPlot, OutOfRangeValuesStayInsideTheRectangle) {
    plot({1000, 1000, -1000, -1000}, 0);
    EXPECT_EQ(at(30, 2), kRed);
    EXPECT_EQ(at(170, 97), kRed);
    plot({0, 0, 0, 0}, 1);  // channel 1 holds 1000 everywhere
    EXPECT_EQ(at(100, 2), kRed);
}

TEST_F(ScopeArrayPlot, MarkersSurroundEachPoint) {
    plot({0, 0, 0, 0}, 0 | CScopeArray::kPlotMarkers);
    // The second point is at x = 66; its marks sit one pixel off the line.
    EXPECT_EQ(at(65, 49), kWhite);
    EXPECT_EQ(at(67, 51), kWhite);
    EXPECT_EQ(at(1, 49), kWhite);  // around the first point too
    EXPECT_EQ(at(30, 49), kBlack);
    EXPECT_EQ(at(30, 50), kRed);
}

TEST_F(ScopeArrayPlot, NothingToSpreadDrawsNothing) {
    QImage before = image;
    {
        CScopeArray ring(4);  // all times 0: no width per time unit
        QPainter painter(&image);
        ring.Plot(painter, QRect(0, 0, 200, 100), 0xFF0000, 0, 100);
    }
    plot({1, 2, 3, 4}, 0, 0.0);  // zero full scale
    EXPECT_EQ(image, before);
}
