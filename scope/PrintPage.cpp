#include "scope/PrintPage.h"

#include "scope/ScopeRenderer.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRowStep = 20;
constexpr int kTextPixels = 14;  // below the row step, so rows never overlap

std::string number(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string PrintDateText(const std::tm& local)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d   %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::vector<PrintText> PrintPageTexts(const PrintPageInput& in)
{
    const int u = in.clientWidth / 10;
    const int columns[7] = {u, static_cast<int>(2.5 * u), static_cast<int>(3.5 * u), 5 * u, 6 * u, 7 * u, 8 * u};
    // The table starts below the time labels under the plot.
    int y = in.traces.plot.bottom + 31;
    std::vector<PrintText> texts;
    auto row = [&](const std::array<std::string, 7>& cells, uint32_t colour) {
        for (int i = 0; i < 7; ++i)
            texts.push_back({columns[i], y, cells[static_cast<size_t>(i)], colour});
        y += kRowStep;
    };
    row({"Chnnel", "Vol/Div", "Vertical Position", "Max", "Avg", "Min", "Unit"}, 0x000000);
    static const char* const kNames[kScopeChannelCount] = {"Speed", "Torque", "Deviation Count", "Command"};
    static const char* const kUnits[kScopeChannelCount] = {"RPM", "0.0%", "Pulse", "RPM"};
    static const uint32_t kRowColours[kScopeChannelCount] = {FromBgr(0x00FF00), FromBgr(0xFFA953),
                                                             FromBgr(0x0080FF), 0x000000};
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const size_t i = static_cast<size_t>(c);
        const ChannelStatistics& s = in.statistics[i];
        auto value = [&s](double v) { return s.measured ? number("%.0f", v) : std::string("-"); };
        row({kNames[c], number("%.0f", in.volDivColumn[i]), std::to_string(in.verticalColumn[i]), value(s.max),
             value(s.average), value(s.min), kUnits[c]},
            kRowColours[c]);
    }
    texts.push_back({u, y, "Sec/Div : " + std::to_string(in.captureLength) + " (ms)", 0x000000});
    y += 2 * kRowStep;
    texts.push_back({u, y,
                     "NOTE : _________________________________________"
                     "______________________________________"
                     "______________________________________",
                     0x000000});
    y += kRowStep;
    texts.push_back({u, y, PrintDateText(in.localTime), 0x000000});
    return texts;
}

void PaintPrintPage(QPainter& painter, int deviceWidth, int deviceHeight, int dotsPerInch,
                    const PrintPageInput& in)
{
    if (in.clientWidth <= 0 || in.clientHeight <= 0)
        return;
    const int margin = dotsPerInch * 2 / 3;
    const double scale = std::min(static_cast<double>(deviceWidth - 2 * margin) / in.clientWidth,
                                  static_cast<double>(deviceHeight - 2 * margin) / in.clientHeight);
    painter.save();
    painter.setViewport(margin, margin, static_cast<int>(in.clientWidth * scale),
                        static_cast<int>(in.clientHeight * scale));
    painter.setWindow(0, 0, in.clientWidth, in.clientHeight);

    // White would not show on paper.
    ScreenTraces paper = in.traces;
    paper.traces[kCommand].colour = 0x000000;
    ScopeRenderer::PaintGrid(painter, paper.plot);
    ScopeRenderer::PaintAxes(painter, paper.plot);
    ScopeRenderer::PaintScaleLabels(painter, paper);
    ScopeRenderer::PaintTimeLabels(painter, paper.plot, paper.captureLength, 0x000000);
    ScopeRenderer::PaintTraces(painter, paper, 2);

    QFont font("Times");
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(kTextPixels);
    painter.setFont(font);
    for (const PrintText& text : PrintPageTexts(in)) {
        painter.setPen(QColor::fromRgb(static_cast<QRgb>(text.colour)));
        painter.drawText(QRect(text.x, text.y, in.clientWidth - text.x, kRowStep),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(text.text));
    }
    painter.restore();
}
