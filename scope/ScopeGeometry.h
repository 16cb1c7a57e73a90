#pragma once
// Where the scope draws: the screen and plot areas of a view, the grid
// lines, the mapping of a sample to a pixel, and the time-axis labels.

#include "scope/ScaleSettings.h"

#include <string>
#include <vector>

// A rectangle by its four edges, as the layout computes them (right and
// bottom are the edge coordinates, not the last pixel inside).
struct Edges {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// The areas of a view of width w and height h.
struct ScopeLayout {
    Edges screen;       // the black screen: 1-99 % of w, 1.5-57 % of h
    Edges plot;         // grid and traces: 11.5-87.5 % of w, 4-52 % of h
    Edges channelList;  // 4-96 % of w, 56.7 % of h + 10 to 69 % of h
    int tabLeft = 0, tabTop = 0;  // 4 % of w, 70 % of h + 10
    static constexpr int kTabWidth = 458;
    static constexpr int kTabHeight = 150;

    static ScopeLayout ForView(int w, int h);
};

// Grid line k (0..10) of the plot.
int VerticalGridX(const Edges& plot, int k);
int HorizontalGridY(const Edges& plot, int k);
// Axis tick k (0..20) and its length: 10 for even k, 5 for odd.
int AxisTickY(const Edges& plot, int k);
int AxisTickLength(int k);

struct Pixel {
    int x = 0, y = 0;
};
// Sample i of value s: sample 0 at the left edge, sample `lengthSpan` at
// the right; the value plus the vertical position, clamped to the limits,
// between the bottom (min) and the top (max) edge. Truncated to pixels.
Pixel SamplePixel(const Edges& plot, double lengthSpan, const ChannelLimits& limits, int i, double s);
// The sample under pixel column x for a screen of `captureLength` ms.
int SampleIndexAtX(const Edges& plot, int captureLength, int x);

// The eleven time labels of a screen of T ms and their unit: "0", "50",
// ... "500" with "(ms)" up to 1000 ms, else "0.00" ... "2.00" with "(sec)".
struct TimeAxisLabels {
    std::vector<std::string> labels;
    std::string unit;
};
TimeAxisLabels TimeLabels(int captureLength);
