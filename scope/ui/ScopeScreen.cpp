#include "scope/ui/ScopeScreen.h"

#include "scope/ScopeRenderer.h"
#include "scope/ScopeSession.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kCursorGrip = 4;  // pixels either side of a cursor line

Pixel at(const QMouseEvent* event)
{
    return {static_cast<int>(event->position().x()), static_cast<int>(event->position().y())};
}

}  // namespace

ScopeScreen::ScopeScreen(ScopeSession& session, QWidget* parent) : QWidget(parent), session_(session)
{
    setObjectName("ScopeScreen");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScopeScreen::paintOn(QPainter& painter)
{
    const ChannelSamples samples = session_.buffers().snapshot();
    const ScreenTraces traces = session_.screenTraces(plot_, samples);
    marker_.update(traces);
    ScopeRenderer::PaintScreen(painter, {0, 0, width(), height()}, traces);
    if (cursors_.shown()) {
        for (int k = 0; k < 2; ++k)  // a shorter screen pulls them in
            cursors_.setPosition(k, cursors_.position(k), session_.captureLength());
        std::array<bool, kScopeChannelCount> shown{};
        for (int c = 0; c < kScopeChannelCount; ++c)
            shown[static_cast<size_t>(c)] = session_.scale().checked(c);
        ScopeRenderer::PaintCursors(painter, cursors_, traces, cursors_.read(samples, shown));
    }
    ScopeRenderer::PaintMarker(painter, marker_, traces);
}

void ScopeScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintOn(painter);
}

QImage ScopeScreen::render()
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paintOn(painter);
    return image;
}

int ScopeScreen::cursorNear(int x) const
{
    if (!cursors_.shown())
        return -1;
    ScreenTraces geometry;
    geometry.plot = plot_;
    geometry.captureLength = session_.captureLength();
    for (int k = 0; k < 2; ++k)
        if (std::abs(ScopeRenderer::CursorX(geometry, cursors_.position(k)) - x) <= kCursorGrip)
            return k;
    return -1;
}

void ScopeScreen::mousePressEvent(QMouseEvent* event)
{
    const Pixel p = at(event);
    if (event->button() != Qt::LeftButton || !plot_.contains(p.x, p.y))
        return;
    draggedCursor_ = cursorNear(p.x);
    if (draggedCursor_ < 0)
        marker_.arm(p);
    update();
}

void ScopeScreen::mouseMoveEvent(QMouseEvent* event)
{
    const Pixel p = at(event);
    if (draggedCursor_ >= 0) {
        const double perSample = static_cast<double>(plot_.width()) / std::max(session_.captureLength(), 1);
        const int index = static_cast<int>(std::lround((p.x - plot_.left) / perSample));
        cursors_.setPosition(draggedCursor_, index, session_.captureLength());
    } else {
        marker_.trackMouse(p, plot_, event->buttons() & Qt::LeftButton);
    }
    setCursor(cursorNear(p.x) >= 0 || draggedCursor_ >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
    update();
}

void ScopeScreen::mouseReleaseEvent(QMouseEvent*)
{
    draggedCursor_ = -1;
}

void ScopeScreen::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        marker_.remove();
        update();
    }
}
