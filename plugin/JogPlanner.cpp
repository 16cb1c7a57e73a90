#include "plugin/JogPlanner.h"

#include "plugin/WaypadShared.h"

#include <algorithm>

namespace waypad {

int JogTimeFor(int jogType, int jogTimeSetting, int roundTripMs, int current)
{
    if (jogType <= 0)
        return current;
    const int64_t t = roundTripMs;
    const int64_t time = jogType == 1 ? 2 * (5 * t + 170) : int64_t(jogTimeSetting) + 10 * t;
    return static_cast<int>(std::clamp<int64_t>(time, kJogTimeMinMs, kJogTimeMaxMs));
}

int LimitJogValue(int value)
{
    return std::clamp(value, kJogLimitMin, kJogLimitMax);
}

JogPlanner::JogPlanner(int jogType, int jogTimeSetting)
    : jogType_(jogType), jogTimeSetting_(jogTimeSetting), jogTimeField_(jogTimeSetting)
{
}

void JogPlanner::setAmount(WaypadShared& shared, int amount)
{
    int32_t word = shared.jogWord.load();
    while (!shared.jogWord.compare_exchange_weak(word, (word & ~kJogAmountMask) | (amount & kJogAmountMask))) {
    }
}

JogPlanner::Outcome JogPlanner::tick(const Inputs& in, WaypadShared& shared, uint32_t now)
{
    Outcome out{in.pulseEdit, in.speedEdit};
    if (wait_ > 0) {
        --wait_;
        return out;
    }
    const int d = in.reverse ? -in.slider : in.slider;
    if (in.pulseMode && d != 0) {
        if (repeat_ > 0) {
            --repeat_;
            return out;
        }
        repeat_ = kPulseRepeatTicks;
    } else {
        repeat_ = 0;
    }

    if (d == 0) {
        if (in.pulseMode)
            out.pulseEdit = LimitJogValue(in.pulseEdit);
        setAmount(shared, in.pulseMode ? out.pulseEdit : jogTimeField_);
        out.speedEdit = LimitJogValue(in.speedEdit);
        if (out.speedEdit != shared.block.get(kJogSpeed) && shared.comm.idle()) {
            shared.block.set(kJogSpeed, out.speedEdit);
            out.jogSpeedChanged = shared.comm.issue(CS_JogSpeed);
        }
        return out;
    }
    if (!shared.comm.idle())
        return out;
    // Both bits of the direction are cleared first; the worker clears all
    // four after the write.
    const int32_t clear = d < 0 ? (kJogTimeMinus | kJogPulseMinus) : (kJogTimePlus | kJogPulsePlus);
    const int32_t bit = in.pulseMode ? (d < 0 ? kJogPulseMinus : kJogPulsePlus) : (d < 0 ? kJogTimeMinus : kJogTimePlus);
    int32_t word = shared.jogWord.load();
    while (!shared.jogWord.compare_exchange_weak(word, (word & ~clear) | bit)) {
    }
    startTick_ = now;
    if (!in.pulseMode) {
        jogTimeField_ = JogTimeFor(jogType_, jogTimeSetting_, roundTripMs_, jogTimeField_);
        setAmount(shared, jogTimeField_);
    }
    out.jogIssued = shared.comm.issue(CS_Jog);
    return out;
}

}  // namespace waypad
