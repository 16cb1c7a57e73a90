#pragma once
// The black scope screen: draws the session's traces through the renderer
// and handles the mouse for the marker (press to place, right double click
// to remove) and the two cursors (drag a cursor line).

#include "scope/ScopeCursors.h"
#include "scope/ScopeMarker.h"

#include <QImage>
#include <QWidget>

class ScopeSession;

class ScopeScreen : public QWidget {
    Q_OBJECT
public:
    ScopeScreen(ScopeSession& session, QWidget* parent = nullptr);

    // The plot inside this widget.
    void setPlot(const Edges& plot) { plot_ = plot; }
    const Edges& plot() const { return plot_; }
    ScopeMarker& marker() { return marker_; }
    ScopeCursors& cursors() { return cursors_; }
    // What the screen shows, as an image (the PNG export).
    QImage render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void paintOn(QPainter& painter);
    int cursorNear(int x) const;

    ScopeSession& session_;
    Edges plot_;
    ScopeMarker marker_;
    ScopeCursors cursors_;
    int draggedCursor_ = -1;
};
