#include "sim/FaultInjector.h"

namespace drivesim {

bool FaultInjector::chance(double p)
{
    if (p <= 0)
        return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < p;
}

void FaultInjector::corrupt(uint8_t* bytes, size_t length)
{
    const size_t at = std::uniform_int_distribution<size_t>(0, length - 1)(random_);
    const uint8_t flip = static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 255)(random_));
    bytes[at] ^= flip;  // never zero, so the byte always changes
}

bool FaultInjector::applyToAnswer(std::vector<uint8_t>& frame)
{
    if (silent())
        return false;
    ++answers_;
    if (frame.empty() || chance(settings_.dropProbability))
        return false;
    if (chance(settings_.corruptProbability))
        corrupt(frame.data(), frame.size());
    if (chance(settings_.extraByteProbability))
        frame.push_back(static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 255)(random_)));
    return true;
}

bool FaultInjector::applyToRecord(uint8_t* record, size_t length)
{
    if (silent() || chance(settings_.dropProbability))
        return false;
    if (chance(settings_.corruptProbability))
        corrupt(record, length);
    return true;
}

}  // namespace drivesim
