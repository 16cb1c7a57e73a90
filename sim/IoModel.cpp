#include "sim/IoModel.h"

#include <cmath>

namespace drivesim {
namespace {

constexpr int kGainBit = 4;
constexpr uint64_t kGainTogglePeriodMs = 2000;

}  // namespace

bool IoModel::setInput(int coil, bool on)
{
    const bool before = input(coil);
    const uint16_t bit = static_cast<uint16_t>(1u << (coil - kFirstInput));
    written_ = on ? (written_ | bit) : (written_ & ~bit);
    return before;
}

uint16_t IoModel::inputBits(uint64_t nowMs) const
{
    uint16_t bits = written_;
    if ((nowMs / kGainTogglePeriodMs) % 2)
        bits ^= 1u << kGainBit;
    return bits;
}

uint8_t IoModel::outputBits(const DriveState& s)
{
    uint8_t bits = 0;
    if (s.servoOn) bits |= 1u << 0;                             // brake released
    if (std::abs(s.speedRpm) < s.zeroSpeedRpm) bits |= 1u << 1;  // zero speed
    if (!s.alarm) bits |= 1u << 2;                              // servo ready
    if (s.alarm) bits |= 1u << 3;                               // servo alarm
    if (s.inPosition) bits |= 1u << 4;                          // in position
    if (s.torqueLimited) bits |= 1u << 5;                       // torque in limit
    return bits;
}

int IoModel::selectedPoint() const
{
    return (input(42) ? 1 : 0) | (input(39) ? 2 : 0) | (input(37) ? 4 : 0) | (input(34) ? 8 : 0);
}

void IoModel::countPulses(int64_t commanded, int64_t feedback)
{
    commandSum_ += static_cast<uint32_t>(commanded);
    feedbackSum_ += static_cast<uint32_t>(feedback);
}

}  // namespace drivesim
