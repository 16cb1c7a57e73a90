#include "scope/ui/ScopeChannelList.h"

#include "scope/ScopeSession.h"
#include "texts/QtText.h"

#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace {

}  // namespace

ScopeChannelList::ScopeChannelList(QWidget* parent) : QTableWidget(kScopeChannelCount, 7, parent)
{
    setObjectName("ScopeChannelList");
    setHorizontalHeaderLabels({LoadQText(244), LoadQText(245), LoadQText(246), LoadQText(247), LoadQText(248), "Current Value", LoadQText(250)});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(16);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1));
    setFont(small);
    for (int c = 0; c < kScopeChannelCount; ++c) {
        auto* swatch = new QTableWidgetItem;
        swatch->setBackground(QColor::fromRgb(static_cast<QRgb>(ChannelInfo(c).colour)));
        setItem(c, 0, swatch);
        setCell(c, 1, LoadQText(ChannelInfo(c).nameTextId));
        setCell(c, 2, LoadQText(ChannelInfo(c).descriptionTextId));
        setCell(c, 6, ChannelInfo(c).unit);
    }
    const int widths[6] = {40, 120, 270, 90, 90, 100};
    for (int column = 0; column < 6; ++column)
        setColumnWidth(column, widths[column]);
}

void ScopeChannelList::setCell(int row, int column, const QString& value)
{
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    if (cell->text() != value)
        cell->setText(value);
}

QString ScopeChannelList::LimitText(int channel, double value)
{
    return QString::asprintf(channel == kDeviation ? "%.0e" : "%.0f", value);
}

QString ScopeChannelList::CurrentValueText(int channel, const std::vector<double>& samples, int captureLength)
{
    if (samples.empty())
        return "0";
    const double value = samples[std::min(samples.size() - 1, static_cast<size_t>(std::max(captureLength, 0)))];
    if (channel != kDeviation && std::fabs(value) > 6000)
        return "0";
    return QString::asprintf("%.0f", value);
}

void ScopeChannelList::refresh(const ScopeSession& session, const ChannelSamples& samples)
{
    for (int c = 0; c < kScopeChannelCount; ++c) {
        setCell(c, 3, LimitText(c, session.limits(c).min));
        setCell(c, 4, LimitText(c, session.limits(c).max));
        setCell(c, 5, CurrentValueText(c, samples[static_cast<size_t>(c)], session.captureLength()));
    }
}
