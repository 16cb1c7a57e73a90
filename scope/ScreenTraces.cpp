#include "scope/ScreenTraces.h"

#include <algorithm>

size_t ScreenTraces::drawnCount(int channel) const
{
    const TraceView& trace = traces[static_cast<size_t>(channel)];
    if (!trace.shown || !trace.samples)
        return 0;
    return std::min(trace.samples->size(), static_cast<size_t>(captureLength) + 1);
}

Pixel ScreenTraces::pixelOf(int channel, int i) const
{
    const TraceView& trace = traces[static_cast<size_t>(channel)];
    return SamplePixel(plot, captureLength, trace.limits, i, (*trace.samples)[static_cast<size_t>(i)]);
}
