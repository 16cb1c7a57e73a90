#pragma once
// Decisions of the point-table window and the homing dialog that need no
// widget: which controls a drive allows, the mode label, the First/Last
// correction, the message for a finished step and the drive status text.

#include <cstdint>
#include <string>

namespace waypad {

struct ControlEnabling {
    bool read = false, write = false, servo = false, homingSetup = false;
    bool run = false, getPoint = false, setPoint = false, gotoAbs = false, gotoRel = false;
};

// Modes 0 (ABS), 1 (REL) and 7 (index) allow reading, writing and the
// servo; the homing dialog also needs the extended feature; runs and point
// copies need 0 or 1; each Goto needs its own mode. Nothing without a link.
ControlEnabling EnablingFor(bool linkUp, int32_t mode, bool extended);

// The name of an active control mode (register 939); the number for one
// beyond the table.
std::string ActiveModeName(int32_t mode);
// The label: "%s %s" of the prefix text and the name.
std::string ActiveModeLabel(const std::string& prefix, int32_t mode);

// Keeps First <= Last: a First that changed drags Last up, a Last that
// changed drags First down.
void CorrectFirstLast(int previousFirst, int previousLast, int& first, int& last);

// The message for a failed finished step ("Write data failed."); empty when
// the step shows nothing for this result.
std::string FinishedStepMessage(int32_t step, int32_t result);

// Status text of the drive status word (an index beyond 5 counts as 5).
std::string DriveStatusText(int32_t index);

}  // namespace waypad
