#pragma once
// What the window, the homing dialog and the worker thread share: the
// communication step, the parameter block, and the values each side
// publishes for the other. Every value is a 32-bit atomic.

#include "plugin/CommStep.h"
#include "plugin/ParameterBlock.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace waypad {

constexpr int32_t kExtendedFeatureBit = 0x20;  // in the feature word, register 151

// The answer to the close question, handed from the window to the worker.
enum CloseAnswer : int32_t { kNoCloseAnswer = 0, kKeepServoState = 1, kTurnServoOff = 2 };

struct WaypadShared {
    CommStep comm;
    ParameterBlock block;
    std::atomic<int32_t> progress{0};

    // Read with all parameters.
    std::atomic<int32_t> activeMode{0};      // register 939
    std::atomic<int32_t> featureWord{0};     // register 151
    std::atomic<int32_t> servoReadOn{0};     // servo state from register 2003
    bool extended() const { return (featureWord.load() & kExtendedFeatureBit) != 0; }

    std::atomic<int32_t> servoOn{0};         // the servo-on flag the commands write
    std::atomic<int32_t> position{0};        // registers 180-181, read every cycle
    std::atomic<int32_t> driveStatus{0};     // register 2002, while the homing dialog shows
    std::atomic<int32_t> homeReference{0};   // registers 941-942, likewise
    std::atomic<int32_t> dialogActive{0};
    std::atomic<int32_t> jogWord{0};         // register 2001 (bits 12-15 cleared after each write)

    // Goto and point-run inputs.
    std::atomic<int32_t> targetPosition{0};
    std::atomic<int32_t> targetSpeed{0};
    std::atomic<int32_t> runFirst{0};        // 0-based
    std::atomic<int32_t> runLast{0};
    std::atomic<int32_t> runDelayMs{0};
    std::atomic<int32_t> runSubStep{0};

    std::atomic<int32_t> pause{1};           // set while no window is open
    std::atomic<int32_t> closeQuestionWanted{0};  // the host asks to close: the window asks
    std::atomic<int32_t> closeAnswer{kNoCloseAnswer};
};

// "Now on processing CommSteps: %s" with the running step's name.
std::string CommStepsBusyText(int32_t step);

}  // namespace waypad
