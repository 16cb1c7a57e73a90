#include "sim/AxisSettings.h"

#include "sim/ParameterTable.h"

#include <algorithm>

namespace drivesim {

ServoLoop::Gains AxisSettings::gains(const Parameters& p)
{
    using T = ParameterTable;
    ServoLoop::Gains g;
    g.positionGain = std::max<int>(p[T::kPositionGain], 0);
    g.speedGainHz = std::max<int>(p[T::kSpeedGain], 1);
    g.integralMs = std::max<int>(p[T::kIntegralTime], 1);
    g.torqueFilterMs = std::max<int>(p[T::kTorqueFilter], 0) / 100.0;
    g.inertiaRatio = std::max<int>(p[T::kInertiaRatio], 0) / 100.0;
    g.feedForward = std::clamp<int>(p[T::kSpeedFeedForward], 0, 1500) / 1000.0;
    g.feedForwardFilterMs = std::max<int>(p[T::kFeedForwardFilter], 0) / 100.0;
    const int notch = p[T::kNotchFrequency];
    g.notchHz = notch >= 50 && notch < kNotchOffHz ? notch : 0;
    // Width 0 is the narrowest band, 4 the widest.
    g.notchQ = 2.0 / (1 + std::clamp<int>(p[T::kNotchWidth], 0, 4));
    g.torqueLimit = std::clamp<int>(p[T::kTorqueLimit], 0, 300) / 100.0;
    return g;
}

double AxisSettings::gear(const Parameters& p)
{
    const int numerator = p[ParameterTable::kGearNumerator], denominator = p[ParameterTable::kGearDenominator];
    return double(numerator > 0 ? numerator : 1) / (denominator > 0 ? denominator : 1);
}

double AxisSettings::followingErrorLimit(const Parameters& p)
{
    if (p[ParameterTable::kFollowingErrorCheck] == 1)
        return 0;
    return std::max<int>(p[ParameterTable::kFollowingErrorLimit], 1) * 256.0;
}

int AxisSettings::speedCommandRpm(const Parameters& p, int selected)
{
    const int source = p[ParameterTable::kSpeedCommandSource];
    if (source < 1 || source > 3)
        return 0;  // the analog input
    const int index = selected & (source == 3 ? 7 : 3);
    if (source == 2 && index == 3)
        return 0;
    return index < 4 ? p[ParameterTable::kPointSpeed1 + index] : p[ParameterTable::kPointSpeed5 + index - 4];
}

}  // namespace drivesim
