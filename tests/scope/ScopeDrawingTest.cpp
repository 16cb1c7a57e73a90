// What the display and the printed page show, on offscreen images; the scale
// rules, Auto Set, the marker and cursor readouts, the print table.
#include "scope/AutoSet.h"
#include "scope/PrintPage.h"
#include "scope/ScopeRenderer.h"
#include "tests/scope/ScopeTestSupport.h"

#include <QImage>
#include <QPainter>

namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

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
    int x(int sample) const { return SamplePixel(layout.plot, 500, session.limits(kSpeed), sample, 0).x; }
};

}  // namespace

// A trace off its place at Vol/Div 3000, or the screen, axes or ticks in the wrong colour.
TEST(ScopeDrawing, SpeedAtVolDiv3000FromTopEdgeToBottomEdge)
{
    std::vector<double> speed(501, 3000);  // the top edge, then the centre line, then clamped
    std::fill(speed.begin() + 167, speed.begin() + 334, 0);
    std::fill(speed.begin() + 334, speed.end(), -4500);
    const Screen screen(speed);
    const Edges& plot = screen.layout.plot;
    const Edges& area = screen.layout.screen;
    ASSERT_EQ(std::pair(plot.top, plot.bottom), std::pair(32, 416)) << "the plot's place in the view";
    EXPECT_EQ(screen.x(0), plot.left);
    EXPECT_EQ(screen.x(500), plot.right);
    const int centre = HorizontalGridY(plot, 5);
    struct Spot { int x, y; QRgb colour; bool is; };
    const Spot spots[] = {
        {screen.x(80), plot.top, kGreen, true},     {screen.x(80), plot.top + 1, kGreen, false},
        {screen.x(250), centre, kGreen, true},      {screen.x(250), centre - 1, kGreen, false},
        {screen.x(420), plot.bottom, kGreen, true}, {area.left + 2, area.top + 2, kBlack, true},
        {area.left - 2, area.top + 2, qRgb(255, 255, 255), true}, {plot.left, plot.top + 5, kRed, true},
        {plot.left - 10, AxisTickY(plot, 2), kRed, true},   // a long tick
        {plot.left - 10, AxisTickY(plot, 3), kRed, false},  // a short one
    };
    for (const Spot& p : spots)
        EXPECT_EQ(screen.image.pixel(p.x, p.y) == p.colour, p.is) << "at " << p.x << ", " << p.y;
}

// Time labels wrong for Sec/Div 500, 1000 and 2000, or not drawn; one sample drawn as a line.
TEST(ScopeDrawing, TimeLabels)
{
    using Labels = std::vector<std::string>;
    const std::tuple<int, std::string, Labels> rows[] = {
        {500, "(ms)", {"0", "50", "100", "150", "200", "250", "300", "350", "400", "450", "500"}},
        {1000, "(ms)", {"0", "100", "200", "300", "400", "500", "600", "700", "800", "900", "1000"}},
        {2000, "(sec)", {"0.00", "0.20", "0.40", "0.60", "0.80", "1.00", "1.20", "1.40", "1.60", "1.80", "2.00"}},
    };
    for (const auto& [secDiv, unit, labels] : rows) {
        EXPECT_EQ(TimeLabels(secDiv).unit, unit);
        EXPECT_EQ(TimeLabels(secDiv).labels, labels);
    }
    // The strip under the plot is no longer plain black.
    const Screen screen({1234});
    const Edges& plot = screen.layout.plot;
    for (int y = plot.top; y <= plot.bottom; ++y)
        ASSERT_NE(screen.image.pixel(plot.left, y), kGreen) << "a single sample draws nothing";
    int lit = 0;
    for (int x = plot.left - 20; x < plot.right + 20; ++x)
        for (int y = plot.bottom + 3; y < plot.bottom + 20; ++y)
            lit += screen.image.pixel(x, y) != kBlack;
    EXPECT_GT(lit, 100);
}

// A vertical position out of range taken or not applied, a non-entry taken, a field misread.
TEST(ScaleSettings, VerticalPositionListsAndFields)
{
    ScopeSession session;
    ScaleSettings& s = session.scale();
    s.setChecked(kDeviation, true);
    EXPECT_FALSE(s.setVerticalField(kDeviation, -16));
    EXPECT_TRUE(s.setVerticalField(kDeviation, 15));
    EXPECT_EQ(s.limits(kDeviation).verticalPosition, 32768);
    ASSERT_TRUE(s.setVerticalField(kDeviation, -3));
    session.refreshChannels();
    EXPECT_EQ(session.limits(kDeviation).verticalPosition, -8);
    // Shifted by -8 pulses: sample 8 sits on the centre line.
    const Edges plot = ScopeLayout::ForView(1280, 800).plot;
    EXPECT_EQ(SamplePixel(plot, 500, session.limits(kDeviation), 0, 8).y, HorizontalGridY(plot, 5));
    EXPECT_FALSE(s.setVerticalField(kSpeed, 16385));
    EXPECT_FALSE(s.selectVolDivText(kSpeed, "1100"));
    EXPECT_TRUE(s.selectVolDivText(kSpeed, "6000"));
    EXPECT_EQ(s.limits(kSpeed).min, -6000);
    EXPECT_EQ(LeadingInteger("  -42abc"), -42);
    EXPECT_EQ(LeadingInteger("x"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999"), INT32_MAX);
}

// Auto Set picking an entry not above twice the peak, or not the first such.
TEST(AutoSet, PicksTheFirstEntryAboveTwiceThePeak)
{
    struct Case { int channel; std::vector<double> samples; int entry; };
    const Case cases[] = {
        {kSpeed, {1234, -700, 5}, 2500},  // 1200 and -700, doubled 2400
        {kSpeed, {-9, 9, 3}, 100},        // doubled 10 at least
        {kSpeed, {499, 0}, 1000},         // 490 (a multiple of 10), doubled 980
        {kSpeed, {-5999}, 6000},          // nothing above 11800: the last entry
        {kTorque, {1501}, 3000},          // 1500 doubled is 3000, not above it
        {kDeviation, {3000}, 13},         // 6000 < 2^13
        {kDeviation, {}, 4},              // 10 < 2^4
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleSettings::VolDivEntries(c.channel)[AutoSetEntryIndex(c.channel, c.samples)], c.entry)
            << "channel " << c.channel;
    ScopeSession session;
    session.scale().setChecked(kTorque, true);
    session.buffers().replace(kTorque, {0, 260, -90});
    session.autoSet();
    EXPECT_EQ(session.scale().volDivEntry(kTorque), 600);
    EXPECT_EQ(session.limits(kTorque).max, 600);
}

// The marker on the wrong sample, kept when its trace moves away, wrong texts, a drag off the plot.
TEST(ScopeMarker, FindsTheTraceReadsItAndLeavesWithIt)
{
    std::vector<double> ramp(501);
    for (int i = 0; i <= 500; ++i)
        ramp[i] = i * 6;  // from 0 to 3000
    Screen screen(ramp);
    const ScreenTraces traces = screen.traces();
    const Pixel on = traces.pixelOf(kSpeed, 250);
    ScopeMarker marker;
    marker.arm({on.x, on.y + 3});  // within the 7 x 7 neighbourhood
    marker.update(traces);
    ASSERT_TRUE(marker.placed());
    EXPECT_EQ(marker.channel(), kSpeed);
    EXPECT_EQ(marker.sampleIndex(), SampleIndexAtX(traces.plot, 500, on.x));
    EXPECT_EQ(marker.value(), 6 * marker.sampleIndex());
    marker.update(traces);
    EXPECT_TRUE(marker.placed()) << "the trace stays";
    screen.samples[kSpeed].assign(501, -3000);  // the trace rolls on
    marker.update(screen.traces());
    EXPECT_FALSE(marker.placed());
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

// Wrong cursor times, frequency, values or differences; a cursor off the screen.
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
    EXPECT_EQ(cursors.read(samples, {true, true, false, true}).lines(), (std::vector<std::string>{
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

// Statistics over samples beyond N, of unchecked channels, or missing the starting values.
TEST(PrintStatistics, TableValues)
{
    ChannelSamples samples;
    samples[kSpeed] = {100, 200, 300};
    samples[kTorque] = {50};
    samples[kCommand] = {6100, 6200, 9999};
    auto row = [](const ChannelStatistics& s) { return std::vector<double>{s.max, s.average, s.min}; };
    const auto stats = PrintStatistics(samples, {true, false, true, true}, {1000, 0, 0, 0}, 1);
    EXPECT_EQ(row(stats[kSpeed]), (std::vector<double>{200, 150, 100}));  // samples 0..N only
    EXPECT_EQ(row(stats[kTorque]), (std::vector<double>{-6000, 0, 6000}));  // unchecked: the starting values
    EXPECT_EQ(row(stats[kDeviation]), (std::vector<double>{-2e27, 0, 2e27}));  // checked, but no samples
    EXPECT_EQ(row(stats[kCommand]), (std::vector<double>{6200, 6150, 6100}));
    const auto three = PrintStatistics(samples, {true, false, false, false}, {1000, 0, 0, 0}, 500);
    EXPECT_EQ(row(three[kSpeed]), (std::vector<double>{300, 200, 100}));
}

// The printed table's values or places wrong, starting bounds printed as values, the lines below it; Speed Command white on
// white paper, or the screen's black printed.
TEST(PrintPage, TableAndPaper)
{
    PrintPageInput in;
    in.clientWidth = 1000;
    in.clientHeight = 800;
    in.traces.plot = ScopeLayout::ForView(1000, 800).plot;
    in.volDivColumn = {3000, 1000, 4096, 1500};
    in.verticalColumn = {0, -200, -3, 0};
    in.statistics = {ChannelStatistics{300, 200, 100}, StartingStatistics(kTorque), StartingStatistics(kDeviation),
                     ChannelStatistics{1, 0.4, -1}};
    in.localTime = CalendarTime("2025-03-03 14:05:09");
    const std::vector<PrintText> texts = PrintPageTexts(in);
    ASSERT_EQ(texts.size(), 5u * 7 + 3);
    auto cell = [&](int row, int column) { return texts[row * 7 + column]; };
    const std::tuple<int, int, std::string> cells[] = {
        {0, 0, "Chnnel"}, {1, 3, "300"}, {1, 4, "200"}, {1, 5, "100"}, {2, 3, "-"}, {2, 4, "-"}, {2, 5, "-"},
        {2, 6, "0.0%"}, {3, 0, "Deviation Count"}, {3, 1, "4096"}, {3, 2, "-3"}, {4, 4, "0"}};
    for (const auto& [row, column, text] : cells)
        EXPECT_EQ(cell(row, column).text, text) << "row " << row << " column " << column;
    EXPECT_EQ(cell(3, 3).text, "-") << "no samples: a dash, not the 28-digit starting bound";
    EXPECT_EQ(cell(0, 0).y, in.traces.plot.bottom + 31);
    EXPECT_EQ(cell(1, 0).y, in.traces.plot.bottom + 51);
    const int columns[7] = {100, 250, 350, 500, 600, 700, 800};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cell(2, c).x, columns[c]);
    EXPECT_EQ(cell(4, 0).colour, 0u) << "Speed Command in black on paper";
    EXPECT_EQ(texts[35].text, "Sec/Div : 500 (ms)");
    EXPECT_EQ(texts[36].y, texts[35].y + 40);
    EXPECT_EQ(texts[36].text.rfind("NOTE : ______", 0), 0u);
    EXPECT_EQ(texts[36].text.size(), 7u + 41 + 38 + 38);
    EXPECT_EQ(texts[37].text, "2025-03-03   14:05:09");

    ScopeSession session;
    session.scale().setChecked(kCommand, true);
    session.refreshChannels();
    ChannelSamples samples;
    samples[kCommand].assign(501, 0);  // along the centre line
    in.traces = session.screenTraces(in.traces.plot, samples);
    QImage page(1000 + 128, 800 + 128, QImage::Format_RGB32);  // 96 dpi: a 64-dot margin
    page.fill(Qt::white);
    QPainter painter(&page);
    PaintPrintPage(painter, page.width(), page.height(), 96, in);
    painter.end();
    EXPECT_EQ(page.pixel(64 + in.traces.plot.left + 100, 64 + HorizontalGridY(in.traces.plot, 5)), kBlack);
    EXPECT_EQ(in.traces.traces[kCommand].colour, 0xFFFFFFu) << "the display keeps its white";
    EXPECT_EQ(page.pixel(10, 10), qRgb(255, 255, 255)) << "no screen background on paper";
}
