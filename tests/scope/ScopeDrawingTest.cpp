// What the display and the printed page show: the trace mapping on an
// offscreen image, the time labels, the scale rules, Auto Set, the marker
// and cursor readouts, and the print statistics and table.
#include "scope/AutoSet.h"
#include "scope/PrintPage.h"
#include "scope/ScopeRenderer.h"
#include "scope/ScopeSession.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QRgb kGreen = qRgb(0, 255, 0);

// A 1280 x 800 view with Speed shown at its default 3000 RPM per division.
struct Screen {
    ScopeSession session;
    ScopeLayout layout = ScopeLayout::ForView(1280, 800);
    ChannelSamples samples;
    QImage image{1280, 800, QImage::Format_RGB32};

    explicit Screen(std::vector<double> speed)
    {
        session.scale().setChecked(kSpeed, true);
        session.refreshChannels();
        samples[kSpeed] = std::move(speed);
        image.fill(Qt::white);
        QPainter painter(&image);
        ScopeRenderer::PaintScreen(painter, layout.screen, traces());
    }
    ScreenTraces traces() const { return session.screenTraces(layout.plot, samples); }
    QRgb at(int x, int y) const { return image.pixel(x, y); }
};

}  // namespace

TEST(ScopeDrawing, SpeedAtVolDiv3000FromTopEdgeToBottomEdge)
{
    const Edges plot = ScopeLayout::ForView(1280, 800).plot;
    ASSERT_EQ(plot.top, 32);
    ASSERT_EQ(plot.bottom, 416);
    const int centre = HorizontalGridY(plot, 5);
    // Three flat stretches: 3000 (top edge), 0 (centre line), -4500 (clamped
    // to the bottom edge).
    std::vector<double> speed(501, 3000);
    std::fill(speed.begin() + 167, speed.begin() + 334, 0);
    std::fill(speed.begin() + 334, speed.end(), -4500);
    Screen screen(speed);
    const int x1 = SamplePixel(plot, 500, screen.session.limits(kSpeed), 80, 0).x;
    const int x2 = SamplePixel(plot, 500, screen.session.limits(kSpeed), 250, 0).x;
    const int x3 = SamplePixel(plot, 500, screen.session.limits(kSpeed), 420, 0).x;
    EXPECT_EQ(screen.at(x1, plot.top), kGreen);
    EXPECT_EQ(screen.at(x2, centre), kGreen);
    EXPECT_EQ(screen.at(x3, plot.bottom), kGreen);
    EXPECT_NE(screen.at(x1, plot.top + 1), kGreen);
    EXPECT_NE(screen.at(x2, centre - 1), kGreen);
    // Sample 0 on the left edge, sample 500 on the right.
    EXPECT_EQ(SamplePixel(plot, 500, screen.session.limits(kSpeed), 0, 0).x, plot.left);
    EXPECT_EQ(SamplePixel(plot, 500, screen.session.limits(kSpeed), 500, 0).x, plot.right);
    // The screen is black, the axes red, the grid's centre line grey.
    const Edges& area = screen.layout.screen;
    EXPECT_EQ(screen.at(area.left + 2, area.top + 2), qRgb(0, 0, 0));
    EXPECT_EQ(screen.at(area.left - 2, area.top + 2), qRgb(255, 255, 255));
    EXPECT_EQ(screen.at(plot.left, plot.top + 5), qRgb(255, 0, 0));
    EXPECT_EQ(screen.at(plot.left - 10, AxisTickY(plot, 2)), qRgb(255, 0, 0));  // a long tick
    EXPECT_NE(screen.at(plot.left - 10, AxisTickY(plot, 3)), qRgb(255, 0, 0));  // a short one
}

TEST(ScopeDrawing, VerticalPositionAndFewerThanTwoSamples)
{
    ScopeSession session;
    session.scale().setChecked(kDeviation, true);
    ASSERT_TRUE(session.scale().setVerticalField(kDeviation, -3));
    session.refreshChannels();
    const ChannelLimits& limits = session.limits(kDeviation);
    EXPECT_EQ(limits.max, 4096);  // exponent 12
    EXPECT_EQ(limits.verticalPosition, -8);
    const Edges plot = ScopeLayout::ForView(1280, 800).plot;
    // Shifted by -8 pulses: sample 8 sits on the centre line.
    EXPECT_EQ(SamplePixel(plot, 500, limits, 0, 8).y, HorizontalGridY(plot, 5));
    Screen one({1234});
    for (int y = one.layout.plot.top; y <= one.layout.plot.bottom; ++y)
        ASSERT_NE(one.at(one.layout.plot.left, y), kGreen) << "a single sample draws nothing";
}

TEST(ScopeDrawing, TimeLabels)
{
    const TimeAxisLabels ms500 = TimeLabels(500);
    EXPECT_EQ(ms500.unit, "(ms)");
    EXPECT_EQ(ms500.labels, (std::vector<std::string>{"0", "50", "100", "150", "200", "250", "300", "350", "400",
                                                      "450", "500"}));
    const TimeAxisLabels s2000 = TimeLabels(2000);
    EXPECT_EQ(s2000.unit, "(sec)");
    EXPECT_EQ(s2000.labels, (std::vector<std::string>{"0.00", "0.20", "0.40", "0.60", "0.80", "1.00", "1.20",
                                                      "1.40", "1.60", "1.80", "2.00"}));
    EXPECT_EQ(TimeLabels(1000).unit, "(ms)");
    EXPECT_EQ(TimeLabels(1000).labels.back(), "1000");
    // They are drawn: the strip under the plot is no longer plain black.
    Screen screen({});
    const Edges& plot = screen.layout.plot;
    int lit = 0;
    for (int x = plot.left - 20; x < plot.right + 20; ++x)
        for (int y = plot.bottom + 3; y < plot.bottom + 20; ++y)
            lit += screen.at(x, y) != qRgb(0, 0, 0);
    EXPECT_GT(lit, 100);
}

TEST(ScaleSettings, ListsChecksAndLimits)
{
    EXPECT_EQ(ScaleSettings::VolDivEntries(kSpeed).size(), 20u);
    EXPECT_EQ(ScaleSettings::VolDivEntries(kTorque).size(), 30u);
    EXPECT_EQ(ScaleSettings::VolDivEntries(kDeviation).size(), 15u);
    EXPECT_EQ(ScaleSettings::SecDivEntries().size(), 29u);
    ScaleSettings s;
    EXPECT_EQ(s.volDivEntry(kSpeed), 3000);
    EXPECT_EQ(s.volDivEntry(kTorque), 1000);
    EXPECT_EQ(s.volDivEntry(kDeviation), 12);
    EXPECT_EQ(s.secDiv(), 500);
    EXPECT_TRUE(s.setChecked(kSpeed, true) && s.setChecked(kTorque, true) && s.setChecked(kDeviation, true));
    EXPECT_FALSE(s.setChecked(kCommand, true));  // a fourth is refused
    EXPECT_EQ(s.channelMask(), 4 | 8 | 1);
    EXPECT_FALSE(s.selectVolDivText(kSpeed, "1100"));
    EXPECT_TRUE(s.selectVolDivText(kSpeed, "6000"));
    EXPECT_FALSE(s.setVerticalField(kSpeed, 16385));
    EXPECT_FALSE(s.setVerticalField(kDeviation, -16));
    EXPECT_TRUE(s.setVerticalField(kDeviation, 15));
    EXPECT_EQ(s.limits(kDeviation).verticalPosition, 32768);
    EXPECT_EQ(s.limits(kSpeed).min, -6000);
    EXPECT_EQ(LeadingInteger("  -42abc"), -42);
    EXPECT_EQ(LeadingInteger("x"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999"), INT32_MAX);
}

TEST(AutoSet, PicksTheFirstEntryAboveTwiceThePeak)
{
    struct Case {
        int channel;
        std::vector<double> samples;
        int entry;
    };
    const Case cases[] = {
        {kSpeed, {1234, -700, 5}, 2500},   // 1200 and -700, doubled 2400
        {kSpeed, {-9, 9, 3}, 100},         // doubled 10 at least
        {kSpeed, {499, 0}, 1000},          // 490 (a multiple of 10), doubled 980
        {kSpeed, {-5999}, 6000},           // nothing above 11800: the last entry
        {kTorque, {1501}, 3000},           // 1500 doubled is 3000, not above it
        {kDeviation, {3000}, 13},          // 6000 < 2^13
        {kDeviation, {}, 4},               // 10 < 2^4
    };
    for (const Case& c : cases) {
        const int index = AutoSetEntryIndex(c.channel, c.samples);
        EXPECT_EQ(ScaleSettings::VolDivEntries(c.channel)[static_cast<size_t>(index)], c.entry)
            << "channel " << c.channel;
    }
    ScopeSession session;
    session.scale().setChecked(kTorque, true);
    session.buffers().replace(kTorque, {0, 260, -90});
    session.autoSet();
    EXPECT_EQ(session.scale().volDivEntry(kTorque), 600);
    EXPECT_EQ(session.limits(kTorque).max, 600);
}

TEST(ScopeMarker, FindsTheTraceByValueAndReadsIt)
{
    std::vector<double> speed(501);
    for (int i = 0; i <= 500; ++i)
        speed[static_cast<size_t>(i)] = i * 6;  // a ramp from 0 to 3000
    Screen screen(speed);
    const ScreenTraces traces = screen.traces();
    const Pixel on = traces.pixelOf(kSpeed, 250);
    ScopeMarker marker;
    marker.arm({on.x, on.y + 3});  // within the 7 x 7 neighbourhood
    marker.update(traces);
    ASSERT_TRUE(marker.placed());
    EXPECT_EQ(marker.channel(), kSpeed);
    EXPECT_EQ(marker.sampleIndex(), SampleIndexAtX(traces.plot, 500, on.x));
    EXPECT_EQ(marker.value(), 6 * marker.sampleIndex());
    marker.arm({on.x, on.y + 12});  // too far from any trace
    marker.update(traces);
    EXPECT_FALSE(marker.placed());

    EXPECT_EQ(ScopeMarker::Label(kTorque, 1234), "123.4 %");
    EXPECT_EQ(ScopeMarker::Label(kSpeed, -3.0), "-3.0 RPM");
    EXPECT_EQ(ScopeMarker::Readout(kDeviation, 8), "Deviation Count : 8.0 Pulse");
    EXPECT_EQ(ScopeMarker::Readout(kCommand, 5), "Command :5.0 RPM");
    EXPECT_EQ(ScopeMarker::TimeText(250), "250.0ms");

    // Leaving the plot with the button held pulls the mouse back and ends the drag.
    marker.arm(on);
    marker.trackMouse({traces.plot.right + 50, traces.plot.top - 5}, traces.plot, true);
    EXPECT_EQ(marker.mouse().x, traces.plot.left + traces.plot.width() * 9 / 10);
    EXPECT_EQ(marker.mouse().y, traces.plot.top + traces.plot.height() / 20);
    EXPECT_FALSE(marker.dragging());
}

TEST(ScopeMarker, LeavesWhenItsTraceMovesAway)
{
    std::vector<double> speed(501, 0);
    Screen screen(speed);
    ScreenTraces traces = screen.traces();
    ScopeMarker marker;
    marker.arm(traces.pixelOf(kSpeed, 100));
    marker.update(traces);
    ASSERT_TRUE(marker.placed());
    marker.update(traces);
    EXPECT_TRUE(marker.placed());
    screen.samples[kSpeed].assign(501, 1500);  // the trace rolls on
    traces = screen.traces();
    marker.update(traces);
    EXPECT_FALSE(marker.placed());
}

TEST(ScopeCursors, ReadoutOfASyntheticCapture)
{
    ChannelSamples samples;
    for (int i = 0; i <= 500; ++i) {
        samples[kSpeed].push_back(i * 4);
        samples[kTorque].push_back(-i);
    }
    samples[kCommand] = {7};
    ScopeCursors cursors;
    cursors.setPosition(0, 100, 500);
    cursors.setPosition(1, 350, 500);
    const CursorReadout r = cursors.read(samples, {true, true, false, true});
    EXPECT_EQ(r.deltaMs, 250);
    EXPECT_DOUBLE_EQ(r.frequencyHz, 4.0);
    EXPECT_EQ(r.lines(), (std::vector<std::string>{
                             "t1 = 100.0 ms   t2 = 350.0 ms",
                             "\xCE\x94t = 250.0 ms   1/\xCE\x94t = 4.000 Hz",
                             "Speed: 400 RPM | 1400 RPM | \xCE\x94 1000 RPM",
                             "Torque: -10.0 % | -35.0 % | \xCE\x94 -25.0 %",
                             "Speed Command: --- | --- | \xCE\x94 ---",
                         }));
    cursors.setPosition(1, 9999, 500);  // held on the screen
    EXPECT_EQ(cursors.position(1), 500);
    cursors.setPosition(1, 100, 500);
    EXPECT_FALSE(cursors.read(samples, {}).hasFrequency);
}

TEST(PrintStatistics, TableValues)
{
    ChannelSamples samples;
    samples[kSpeed] = {100, 200, 300};
    samples[kTorque] = {50};
    samples[kCommand] = {6100, 6200, 9999};
    const auto stats = PrintStatistics(samples, {true, false, true, true}, {1000, 0, 0, 0}, 1);
    EXPECT_EQ(stats[kSpeed].max, 200);  // samples 0..N only: 100 and 200
    EXPECT_EQ(stats[kSpeed].average, 150);
    EXPECT_EQ(stats[kSpeed].min, 100);
    EXPECT_EQ(stats[kTorque].max, -6000);  // unchecked: the starting values
    EXPECT_EQ(stats[kTorque].average, 0);
    EXPECT_EQ(stats[kTorque].min, 6000);
    EXPECT_EQ(stats[kDeviation].max, -2e27);  // checked, but no samples
    EXPECT_EQ(stats[kCommand].min, 6100);     // the samples' own minimum
    EXPECT_EQ(stats[kCommand].max, 6200);
    const auto three = PrintStatistics(samples, {true, false, false, false}, {1000, 0, 0, 0}, 500);
    EXPECT_EQ(three[kSpeed].max, 300);
    EXPECT_EQ(three[kSpeed].average, 200);
    EXPECT_EQ(three[kSpeed].min, 100);
}

TEST(PrintPage, TableTextsAndPlaces)
{
    PrintPageInput in;
    in.clientWidth = 1000;
    in.clientHeight = 800;
    in.traces.plot = ScopeLayout::ForView(1000, 800).plot;
    in.volDivColumn = {3000, 1000, 4096, 1500};
    in.verticalColumn = {0, -200, -3, 0};
    in.statistics = {ChannelStatistics{300, 200, 100}, StartingStatistics(kTorque), StartingStatistics(kDeviation),
                     ChannelStatistics{1, 0.4, -1}};
    in.captureLength = 500;
    in.localTime.tm_year = 125;
    in.localTime.tm_mon = 2;
    in.localTime.tm_mday = 3;
    in.localTime.tm_hour = 14;
    in.localTime.tm_min = 5;
    in.localTime.tm_sec = 9;
    const std::vector<PrintText> texts = PrintPageTexts(in);
    ASSERT_EQ(texts.size(), 5u * 7 + 3);
    auto cell = [&](int row, int column) { return texts[static_cast<size_t>(row * 7 + column)]; };
    EXPECT_EQ(cell(0, 0).text, "Chnnel");
    EXPECT_EQ(cell(0, 2).text, "Vertical Position");
    EXPECT_EQ(cell(0, 0).y, in.traces.plot.bottom + 31);
    EXPECT_EQ(cell(1, 0).y, in.traces.plot.bottom + 51);
    const int columns[7] = {100, 250, 350, 500, 600, 700, 800};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cell(2, c).x, columns[c]);
    EXPECT_EQ(cell(1, 3).text, "300");
    EXPECT_EQ(cell(1, 4).text, "200");
    EXPECT_EQ(cell(1, 5).text, "100");
    EXPECT_EQ(cell(1, 0).colour, 0x00FF00u);
    EXPECT_EQ(cell(2, 0).text, "Torque");
    EXPECT_EQ(cell(2, 3).text, "-6000");
    EXPECT_EQ(cell(2, 5).text, "6000");
    EXPECT_EQ(cell(2, 6).text, "0.0%");
    EXPECT_EQ(cell(3, 0).text, "Deviation Count");
    EXPECT_EQ(cell(3, 1).text, "4096");
    EXPECT_EQ(cell(3, 2).text, "-3");
    EXPECT_EQ(cell(3, 3).text.size(), 29u);  // -2e27 in full: a sign and 28 digits
    EXPECT_EQ(cell(3, 0).colour, 0xFF8000u);
    EXPECT_EQ(cell(4, 4).text, "0");
    EXPECT_EQ(cell(4, 0).colour, 0u);
    EXPECT_EQ(texts[35].text, "Sec/Div : 500 (ms)");
    EXPECT_EQ(texts[36].y, texts[35].y + 40);
    EXPECT_EQ(texts[36].text.rfind("NOTE : ______", 0), 0u);
    EXPECT_EQ(texts[36].text.size(), 7u + 41 + 38 + 38);
    EXPECT_EQ(texts[37].text, "2025-03-03   14:05:09");
}

TEST(PrintPage, PaperShowsSpeedCommandInBlack)
{
    PrintPageInput in;
    in.clientWidth = 1280;
    in.clientHeight = 800;
    ScopeSession session;
    session.scale().setChecked(kCommand, true);
    session.refreshChannels();
    ChannelSamples samples;
    samples[kCommand].assign(501, 0);  // along the centre line
    in.traces = session.screenTraces(ScopeLayout::ForView(1280, 800).plot, samples);
    QImage page(1280 + 128, 800 + 128, QImage::Format_RGB32);  // 96 dpi: a 64-dot margin
    page.fill(Qt::white);
    QPainter painter(&page);
    PaintPrintPage(painter, page.width(), page.height(), 96, in);
    painter.end();
    const int y = 64 + HorizontalGridY(in.traces.plot, 5);
    const int x = 64 + in.traces.plot.left + 100;
    EXPECT_EQ(page.pixel(x, y), qRgb(0, 0, 0));  // drawn 2 units wide
    EXPECT_EQ(in.traces.traces[kCommand].colour, 0xFFFFFFu) << "the display keeps its white";
    EXPECT_EQ(page.pixel(10, 10), qRgb(255, 255, 255)) << "no screen background on paper";
}
