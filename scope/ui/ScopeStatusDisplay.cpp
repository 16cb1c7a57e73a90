#include "scope/ui/ScopeStatusDisplay.h"

#include "scope/ScopeChannels.h"

#include <QImage>
#include <QPainter>

namespace {

constexpr int kDot = 4;   // pixels per dot, the gap included
constexpr int kRows = 7;  // dot rows the text is drawn in
constexpr int kLeftMargin = 2;

}  // namespace

ScopeStatusDisplay::ScopeStatusDisplay(QWidget* parent) : QWidget(parent)
{
    setObjectName("ScopeStatusDisplay");
    setMinimumHeight(kRows * kDot + 4);
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] {
        ++offset_;
        update();
    });
    showStatus("            ", 0x808080, 0x404040, false);
}

void ScopeStatusDisplay::showStatus(const QString& text, uint32_t onBgr, uint32_t offBgr, bool animated)
{
    text_ = text;
    on_ = QColor::fromRgb(static_cast<QRgb>(FromBgr(onBgr)));
    off_ = QColor::fromRgb(static_cast<QRgb>(FromBgr(offBgr)));
    offset_ = 0;
    if (animated)
        timer_.start();
    else
        timer_.stop();
    update();
}

void ScopeStatusDisplay::paintEvent(QPaintEvent*)
{
    const int columns = width() / kDot;
    // The text, one pixel per dot, then looked up dot by dot.
    QFont font;
    font.setPixelSize(kRows + 1);
    const int textWidth = QFontMetrics(font).horizontalAdvance(text_) + 1;
    QImage glyphs(std::max(textWidth, 1), kRows, QImage::Format_Grayscale8);
    glyphs.fill(0);
    {
        QPainter p(&glyphs);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, glyphs.width(), kRows), Qt::AlignLeft | Qt::AlignVCenter, text_);
    }
    // The text starts at the left and runs out to the left, coming back in
    // from the right.
    const int period = columns + textWidth;
    const int start = ((kLeftMargin - offset_) % period + period) % period;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const int top = (height() - kRows * kDot) / 2;
    for (int column = 0; column < columns; ++column) {
        int source = column - start;
        if (source < 0)
            source += period;
        for (int row = 0; row < kRows; ++row) {
            const bool lit = source < glyphs.width() && qGray(glyphs.pixel(source, row)) > 96;
            painter.fillRect(column * kDot, top + row * kDot, kDot - 1, kDot - 1, lit ? on_ : off_);
        }
    }
}
