#include "plugin/PointRun.h"

#include "plugin/DriveBus.h"
#include "plugin/DriveTransfers.h"
#include "plugin/WaypadShared.h"

#include <algorithm>
#include <cstdlib>

namespace waypad {

const char* PointRunStepName(int32_t subStep)
{
    static const char* const names[] = {"TRC_IDLE", "TRC_Init", "TRC_CheckOnpos", "TRC_SelectPos",
                                        "TRC_Start", "TRC_CheckPosition", "TRC_Sleep"};
    return subStep >= 0 && subStep <= TRC_Sleep ? names[subStep] : "";
}

bool PointRun::init(DriveBus& bus, WaypadShared& s)
{
    current_ = s.runFirst;
    uint16_t word = 0;
    if (!bus.readRegisters(kRegActiveMode, 1, &word))
        return false;
    mode_ = static_cast<int16_t>(word);
    if (!bus.readRegisters(kRegInPositionWindow, 1, &word))
        return false;
    window_ = static_cast<int16_t>(word);
    if (mode_ == kRelativeMode && !bus.readLong(kRegPosition, base_))
        return false;
    s.runSubStep = TRC_CheckOnpos;
    return true;
}

bool PointRun::cycle(DriveBus& bus, WaypadShared& s)
{
    int32_t position = 0;
    if (!bus.readLong(kRegPosition, position))
        return false;
    s.position = position;

    switch (s.runSubStep.load()) {
    case TRC_Init:
        return init(bus, s);
    case TRC_CheckOnpos: {
        uint8_t outputs = 0;
        if (!bus.readCoils(0, 6, &outputs))
            return false;
        if (outputs & (1 << kInPositionCoil))
            s.runSubStep = TRC_SelectPos;
        return true;
    }
    case TRC_SelectPos:
        for (int bit = 0; bit < 4; ++bit)
            if (!bus.writeCoil(kPointSelectCoils[bit], (current_ >> bit) & 1))
                return false;
        s.runSubStep = TRC_Start;
        return true;
    case TRC_Start:
        if (!bus.writeCoil(kStartCoil, false) || !bus.writeCoil(kStartCoil, true))
            return false;
        s.runSubStep = TRC_CheckPosition;
        return true;
    case TRC_CheckPosition: {
        const int32_t target = s.block.get(PointPosition(current_));
        const int64_t goal = mode_ == kRelativeMode ? int64_t(base_) + target : target;
        if (std::llabs(int64_t(position) - goal) > window_)
            return true;
        if (mode_ == kRelativeMode)
            base_ = static_cast<int32_t>(goal);
        current_ = current_ >= s.runLast ? s.runFirst.load() : current_ + 1;
        delay_.SetTime(static_cast<unsigned long>(std::max(0, s.runDelayMs.load())));
        delay_.Reset();
        s.runSubStep = TRC_Sleep;
        return true;
    }
    case TRC_Sleep:
        if (delay_.IsTimeOut())
            s.runSubStep = TRC_CheckOnpos;
        return true;
    default:
        return true;
    }
}

}  // namespace waypad
