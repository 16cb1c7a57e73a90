#include "scope/AutoSet.h"

#include "scope/ScaleSettings.h"

#include <algorithm>
#include <cmath>

namespace {

double roundedTowardZero(double value)
{
    const double step = std::fabs(value) >= 500 ? 100 : 10;
    return std::trunc(value / step) * step;
}

}  // namespace

int AutoSetEntryIndex(int channel, const std::vector<double>& samples)
{
    double largest = 0, smallest = 0;
    for (double s : samples) {
        largest = std::max(largest, s);
        smallest = std::min(smallest, s);
    }
    largest = roundedTowardZero(largest);
    smallest = roundedTowardZero(smallest);
    const double wanted = std::max(2 * std::max(std::fabs(largest), std::fabs(smallest)), 10.0);
    const std::vector<int>& entries = ScaleSettings::VolDivEntries(channel);
    for (size_t i = 0; i < entries.size(); ++i) {
        const double value = channel == kDeviation ? std::ldexp(1.0, entries[i]) : entries[i];
        if (value > wanted)
            return static_cast<int>(i);
    }
    return static_cast<int>(entries.size()) - 1;
}
