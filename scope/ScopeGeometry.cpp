#include "scope/ScopeGeometry.h"

#include <algorithm>
#include <cstdio>

namespace {

int share(int size, double fraction)
{
    return static_cast<int>(size * fraction);
}

}  // namespace

ScopeLayout ScopeLayout::ForView(int w, int h)
{
    ScopeLayout layout;
    layout.screen = {share(w, 0.01), share(h, 0.015), share(w, 0.99), share(h, 0.57)};
    layout.plot = {share(w, 0.115), share(h, 0.04), share(w, 0.875), share(h, 0.52)};
    layout.channelList = {share(w, 0.04), share(h, 0.567) + 10, share(w, 0.96), share(h, 0.69)};
    layout.tabLeft = share(w, 0.04);
    layout.tabTop = share(h, 0.70) + 10;
    return layout;
}

int VerticalGridX(const Edges& plot, int k)
{
    return plot.left + k * (plot.width() / 10);
}

int HorizontalGridY(const Edges& plot, int k)
{
    return plot.top + k * plot.height() / 10;
}

int AxisTickY(const Edges& plot, int k)
{
    return plot.top + k * plot.height() / 20;
}

int AxisTickLength(int k)
{
    return k % 2 == 0 ? 10 : 5;
}

Pixel SamplePixel(const Edges& plot, double lengthSpan, const ChannelLimits& limits, int i, double s)
{
    const double span = limits.span > 0 ? limits.span : 1.0;
    const double shifted = std::clamp(s + limits.verticalPosition, limits.min, limits.max);
    Pixel p;
    p.x = static_cast<int>(plot.left + i / (lengthSpan > 0 ? lengthSpan : 1.0) * plot.width());
    p.y = static_cast<int>(plot.bottom - (shifted - limits.min) / span * plot.height());
    return p;
}

int SampleIndexAtX(const Edges& plot, int captureLength, int x)
{
    if (captureLength <= 0 || plot.width() <= 0)
        return 0;
    const double pixelsPerSample = static_cast<double>(plot.width()) / captureLength;
    return static_cast<int>((x - plot.left) / pixelsPerSample);
}

TimeAxisLabels TimeLabels(int captureLength)
{
    TimeAxisLabels axis;
    const bool seconds = captureLength > 1000;
    axis.unit = seconds ? "(sec)" : "(ms)";
    for (int k = 0; k <= 10; ++k) {
        char text[32];
        if (seconds)
            std::snprintf(text, sizeof text, "%.2f", k * captureLength / 10000.0);
        else
            std::snprintf(text, sizeof text, "%.0f", k * captureLength / 10.0);
        axis.labels.push_back(text);
    }
    return axis;
}
