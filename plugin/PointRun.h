#pragma once
// The point-to-point run: one sub-step per worker cycle. The drive is told
// which point to go to on four input coils and started by a rising edge on
// another; arrival is judged from the position against the in-position
// window, then the run dwells and takes the next point, wrapping from the
// last to the first.

#include "aux/CTimeOut.h"

#include <cstdint>

namespace waypad {

class DriveBus;
struct WaypadShared;

enum PointRunStep : int32_t {
    TRC_IDLE = 0,
    TRC_Init,
    TRC_CheckOnpos,
    TRC_SelectPos,
    TRC_Start,
    TRC_CheckPosition,
    TRC_Sleep,
};

const char* PointRunStepName(int32_t subStep);

// Coils that carry bits 0-3 of the selected point number (0-based), and the
// start coil.
constexpr uint16_t kPointSelectCoils[4] = {42, 39, 37, 34};
constexpr uint16_t kStartCoil = 35;
constexpr int kInPositionCoil = 4;  // of the outputs 0-5
constexpr int32_t kRelativeMode = 1;

class PointRun {
public:
    // One cycle of the run. False when an exchange failed; the sub-step
    // that failed stays in shared.runSubStep.
    bool cycle(DriveBus& bus, WaypadShared& shared);

    int32_t currentPoint() const { return current_; }
    int32_t basePosition() const { return base_; }

private:
    bool init(DriveBus& bus, WaypadShared& s);

    int32_t current_ = 0;
    int32_t mode_ = 0;
    int32_t window_ = 0;
    int32_t base_ = 0;
    CTimeOut delay_;
};

}  // namespace waypad
