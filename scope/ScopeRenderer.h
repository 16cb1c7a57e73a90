#pragma once
// Draws the scope with a QPainter: the black screen, the 10 x 10 grid, the
// red axes with their ticks, the channels' scale labels, the time labels,
// the traces, the marker and the cursors. The display, the PNG export and
// the printed page all draw through here.

#include "scope/ScopeCursors.h"
#include "scope/ScopeMarker.h"
#include "scope/ScreenTraces.h"

class QPainter;

class ScopeRenderer {
public:
    // The whole display: screen background, grid, axes, labels, traces.
    static void PaintScreen(QPainter& painter, const Edges& screen, const ScreenTraces& traces);
    // The parts without the background (on paper too).
    static void PaintGrid(QPainter& painter, const Edges& plot);
    static void PaintAxes(QPainter& painter, const Edges& plot);
    static void PaintScaleLabels(QPainter& painter, const ScreenTraces& traces);
    static void PaintTimeLabels(QPainter& painter, const Edges& plot, int captureLength, uint32_t colour);
    static void PaintTraces(QPainter& painter, const ScreenTraces& traces, int penWidth);
    static void PaintMarker(QPainter& painter, const ScopeMarker& marker, const ScreenTraces& traces);
    static void PaintCursors(QPainter& painter, const ScopeCursors& cursors, const ScreenTraces& traces,
                             const CursorReadout& readout);

    // Where cursor k's line is drawn.
    static int CursorX(const ScreenTraces& traces, int sampleIndex);

    static constexpr uint32_t kGridColour = FromBgr(0x005000);
    static constexpr uint32_t kCentreColour = 0x808080;
    static constexpr uint32_t kAxisColour = FromBgr(0x0000FF);
    static constexpr uint32_t kMarkerColour = FromBgr(0x00FFFF);
    static constexpr uint32_t kLabelColour = 0xC0C0C0;
    static constexpr uint32_t kCursorColours[2] = {0x00E0E0, 0xE000E0};
};
