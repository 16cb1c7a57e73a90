#include "scope/ScopeRenderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cstdio>

namespace {

QColor colour(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

QFont timesFont(int pixels)
{
    QFont font("Times");
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(std::max(pixels, 6));
    return font;
}

QFont labelFont(const Edges& plot)
{
    QFont font;
    font.setPixelSize(std::max(8, plot.height() / 36));
    return font;
}

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void ScopeRenderer::PaintScreen(QPainter& painter, const Edges& screen, const ScreenTraces& traces)
{
    painter.fillRect(QRect(screen.left, screen.top, screen.width(), screen.height()), Qt::black);
    PaintGrid(painter, traces.plot);
    PaintAxes(painter, traces.plot);
    PaintScaleLabels(painter, traces);
    PaintTimeLabels(painter, traces.plot, traces.captureLength, kLabelColour);
    PaintTraces(painter, traces, 1);
}

void ScopeRenderer::PaintGrid(QPainter& painter, const Edges& plot)
{
    QPen dotted(colour(kGridColour), 1, Qt::DotLine);
    QPen centre(colour(kCentreColour), 1, Qt::DotLine);
    for (int k = 0; k <= 10; ++k) {
        painter.setPen(k == 5 ? centre : dotted);
        const int x = VerticalGridX(plot, k);
        painter.drawLine(x, plot.top, x, plot.bottom);
        const int y = HorizontalGridY(plot, k);
        painter.drawLine(plot.left, y, plot.right, y);
    }
}

void ScopeRenderer::PaintAxes(QPainter& painter, const Edges& plot)
{
    painter.setPen(QPen(colour(kAxisColour), 1, Qt::SolidLine));
    painter.drawLine(plot.left, plot.top, plot.left, plot.bottom);
    painter.drawLine(plot.right, plot.top, plot.right, plot.bottom);
    for (int k = 0; k <= 20; ++k) {
        const int y = AxisTickY(plot, k);
        const int length = AxisTickLength(k);
        painter.drawLine(plot.left - length, y, plot.left, y);
        painter.drawLine(plot.right, y, plot.right + length, y);
    }
}

void ScopeRenderer::PaintScaleLabels(QPainter& painter, const ScreenTraces& traces)
{
    const Edges& plot = traces.plot;
    const QFont font = labelFont(plot);
    painter.setFont(font);
    const int lineHeight = QFontMetrics(font).height();
    std::vector<int> shown;
    for (int c = 0; c < kScopeChannelCount; ++c)
        if (traces.traces[static_cast<size_t>(c)].shown)
            shown.push_back(c);
    const int right = plot.left - 12;
    // Every other grid line, the shown channels stacked around it.
    for (int k = 0; k <= 10; k += 2) {
        const int y = HorizontalGridY(plot, k);
        const int first = y - static_cast<int>(shown.size()) * lineHeight / 2;
        for (size_t j = 0; j < shown.size(); ++j) {
            const TraceView& trace = traces.traces[static_cast<size_t>(shown[j])];
            const double value = trace.limits.max - k * trace.limits.span / 10 - trace.limits.verticalPosition;
            char text[32];
            std::snprintf(text, sizeof text, "%.0f", value);
            painter.setPen(colour(trace.colour));
            painter.drawText(QRect(right - 200, first + static_cast<int>(j) * lineHeight, 200, lineHeight),
                             Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }
}

void ScopeRenderer::PaintTimeLabels(QPainter& painter, const Edges& plot, int captureLength, uint32_t textColour)
{
    const TimeAxisLabels axis = TimeLabels(captureLength);
    const QFont font = timesFont(std::max(10, plot.height() / 30));
    painter.setFont(font);
    painter.setPen(colour(textColour));
    const int height = QFontMetrics(font).height();
    const int half = plot.width() / 20;
    for (int k = 0; k <= 10; ++k) {
        const int x = VerticalGridX(plot, k);
        painter.drawText(QRect(x - half, plot.bottom + 3, 2 * half, height), Qt::AlignHCenter | Qt::AlignTop,
                         q(axis.labels[static_cast<size_t>(k)]));
    }
    painter.drawText(QRect(plot.right + half, plot.bottom + 3, 4 * half, height), Qt::AlignLeft | Qt::AlignTop,
                     q(axis.unit));
}

void ScopeRenderer::PaintTraces(QPainter& painter, const ScreenTraces& traces, int penWidth)
{
    std::vector<QPoint> points;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const size_t count = traces.drawnCount(c);
        if (count < 2)
            continue;
        points.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const Pixel p = traces.pixelOf(c, static_cast<int>(i));
            points[i] = QPoint(p.x, p.y);
        }
        painter.setPen(QPen(colour(traces.traces[static_cast<size_t>(c)].colour), penWidth, Qt::SolidLine));
        painter.drawPolyline(points.data(), static_cast<int>(count));
    }
}

void ScopeRenderer::PaintMarker(QPainter& painter, const ScopeMarker& marker, const ScreenTraces& traces)
{
    if (!marker.placed())
        return;
    const Pixel at = marker.point();
    const Pixel mouse = marker.mouse();
    const QColor yellow = colour(kMarkerColour);
    const QColor trace = colour(traces.traces[static_cast<size_t>(marker.channel())].colour);
    painter.setPen(QPen(yellow, 0));
    painter.drawRect(at.x - 3, at.y - 3, 6, 6);
    const int leaderX = at.x + std::clamp(mouse.x - at.x, -ScopeMarker::kLeaderReach, ScopeMarker::kLeaderReach);
    painter.drawLine(at.x, at.y, leaderX, mouse.y);

    QFont font;
    font.setPixelSize(std::max(10, traces.plot.height() / 30));
    painter.setFont(font);
    const int height = QFontMetrics(font).height() + 4;
    const bool toTheRight = at.x < mouse.x;
    const QRect box(toTheRight ? leaderX : leaderX - ScopeMarker::kLabelWidth, mouse.y - height / 2,
                    ScopeMarker::kLabelWidth, height);
    painter.fillRect(box, Qt::black);
    painter.drawRect(box);
    painter.setPen(trace);
    const QString label = q(ScopeMarker::Label(marker.channel(), marker.value()));
    painter.drawText(box.adjusted(4, 0, -4, 0), (toTheRight ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, label);

    // The readout in the plot's lower right corner, the time on its right.
    const Edges& plot = traces.plot;
    const QString time = q(ScopeMarker::TimeText(marker.sampleIndex()));
    const int timeWidth = QFontMetrics(font).horizontalAdvance(time) + 8;
    const QRect row(plot.left, plot.bottom - height - 2, plot.width() - 4, height);
    painter.drawText(row.adjusted(0, 0, -timeWidth, 0), Qt::AlignRight | Qt::AlignVCenter,
                     q(ScopeMarker::Readout(marker.channel(), marker.value())));
    painter.setPen(yellow);
    painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, time);
}

int ScopeRenderer::CursorX(const ScreenTraces& traces, int sampleIndex)
{
    const double span = traces.captureLength > 0 ? traces.captureLength : 1;
    return static_cast<int>(traces.plot.left + sampleIndex / span * traces.plot.width());
}

void ScopeRenderer::PaintCursors(QPainter& painter, const ScopeCursors& cursors, const ScreenTraces& traces,
                                 const CursorReadout& readout)
{
    if (!cursors.shown())
        return;
    const Edges& plot = traces.plot;
    QFont font;
    font.setPixelSize(std::max(10, plot.height() / 32));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    for (int k = 0; k < 2; ++k) {
        const int x = CursorX(traces, cursors.position(k));
        painter.setPen(QPen(colour(kCursorColours[k]), 0, Qt::DashLine));
        painter.drawLine(x, plot.top, x, plot.bottom);
        painter.drawText(x + 3, plot.top + metrics.ascent() + 1, QString::number(k + 1));
    }
    const std::vector<std::string> lines = readout.lines();
    int width = 0;
    for (const std::string& line : lines)
        width = std::max(width, metrics.horizontalAdvance(q(line)));
    const QRect box(plot.left + 6, plot.top + 6, width + 12, static_cast<int>(lines.size()) * metrics.height() + 8);
    painter.fillRect(box, QColor(0, 0, 0, 200));
    painter.setPen(QPen(colour(kLabelColour), 0));
    painter.drawRect(box);
    for (size_t i = 0; i < lines.size(); ++i) {
        const uint32_t rgb = i < 2 ? kLabelColour
                                   : traces.traces[static_cast<size_t>(readout.channels[i - 2].channel)].colour;
        painter.setPen(colour(rgb));
        painter.drawText(box.left() + 6, box.top() + 4 + metrics.ascent() + static_cast<int>(i) * metrics.height(),
                         q(lines[i]));
    }
}
