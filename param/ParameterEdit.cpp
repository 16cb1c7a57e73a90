#include "param/ParameterEdit.h"

#include "link/DriveIdentification.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "param/DriveParameterReader.h"
#include "param/PageHost.h"
#include "param/ParameterPage.h"
#include "param/RangeText.h"
#include "platform/UserPrompt.h"
#include "texts/LoadText.h"

#include <cstring>

namespace {

using platform::PromptButtons;
using platform::PromptIcon;

constexpr uint16_t kWriteWaitMs = 100;

bool firmwareLockedParameter(int p)
{
    return p == 0x4E || p == 0x4F || p == 0x74;
}

// The older firmware names itself at the second code place of its answer.
bool olderFirmware(std::string& identifier)
{
    if (!LinkReportSlaveId(linkState().slaveAddress))
        return false;
    identifier.assign(reinterpret_cast<const char*>(linkState().receiveBuffer + kOlderFirmwareCodeOffset),
                      kModelCodeLength);
    return identifier == "vr_003" || identifier == "vr-ut1";
}

void errorBox(unsigned textId)
{
    platform::userPrompt().messageBox(LoadText(textId), "Error", PromptButtons::Ok, PromptIcon::Error);
}

void showValue(ParameterPage& page, int index, int32_t value, PageHost& host)
{
    page.row(index).value = value;
    page.row(index).hasValue = true;
    host.valueChanged(index);
}

EditResult failReadBack(ParameterPage& page, int index, int32_t oldValue, PageHost& host)
{
    errorBox(334);
    host.setStatus(LoadText(334));
    showValue(page, index, oldValue, host);
    host.setProgress(0);
    return EditResult::ReadBackFailed;
}

}  // namespace

EditResult EditParameter(ParameterPage& page, int index, PageHost& host)
{
    if (index < 0 || index >= page.rowCount() || !page.row(index).hasValue)
        return EditResult::NotEditable;
    const int p = page.row(index).parameter;
    const std::string hex = ParameterHex(p);
    const bool engineer = page.environment().engineerMode;

    std::string identifier;
    if (page.drive().driveClass != 0 && firmwareLockedParameter(p) && olderFirmware(identifier)) {
        host.setStatus(LoadText(350));
        host.setDescription(LoadText(367) + identifier + "\n" + LoadText(350), true);
        return EditResult::FirmwareLocked;
    }
    if (page.unused(p) && !engineer) {
        host.setStatus(LoadText(351));
        host.setDescription(LoadText(351), true);
        return EditResult::Unused;
    }
    if (page.autoTuningLocked(p)) {
        host.setStatus(LoadText(350));
        host.setDescription(LoadText(352), true);
        return EditResult::AutoTuningLocked;
    }

    const int32_t oldValue = page.row(index).value;
    int32_t value = 0;
    if (!host.askValue(p, page.row(index).definition, oldValue, value)) {
        host.setStatus(LoadText(307) + hex + LoadText(353));
        return EditResult::Cancelled;
    }
    if (value == oldValue) {
        host.setStatus(LoadText(307) + hex + LoadText(354));
        return EditResult::SameValue;
    }
    if (!ValueInRange(value, page.row(index).range, engineer)) {
        errorBox(355);
        return EditResult::OutOfRange;
    }

    platform::WaitCursor wait;
    host.setProgressRange(0, 5);
    host.setProgress(1);
    showValue(page, index, value, host);
    host.setStatus(LoadText(356));
    host.setProgress(2);

    const bool online = linkState().online == 1;
    if (online) {
        const uint16_t word = static_cast<uint16_t>(value & 0xFFFF);
        const bool written = LinkWriteRegister(linkState().slaveAddress, 0x00, static_cast<uint8_t>(p),
                                               static_cast<uint8_t>(word >> 8),
                                               static_cast<uint8_t>(word & 0xFF), kWriteWaitMs) == 1;
        if (!written)
            host.setStatus(LoadText(333));
        host.setProgress(3);
        // Only a drive that took its new station answers there.
        if (written && p == kStationParameter && value >= 1 && value <= 255)
            FollowStationAddress(value);
        int16_t readBack = 0;
        if (!ReadDriveRegister(static_cast<uint8_t>(p), readBack))
            return failReadBack(page, index, oldValue, host);
        host.setProgress(5);
        if (static_cast<uint16_t>(readBack) != word) {
            errorBox(357);
            host.setStatus(LoadText(357));
            showValue(page, index, readBack, host);
            host.setProgress(0);
            return EditResult::ReadBackDiffers;
        }
    }

    if (p == kRealtimeTuningParameter)
        page.setRealtimeTuning(static_cast<uint8_t>(value & 0xFF));
    host.setProgress(0);
    host.setStatus(LoadText(307) + hex + LoadText(358));
    if (online && page.restartMarked(p)) {
        platform::userPrompt().messageBox(LoadText(p == kRestartNoticeParameter ? 359 : 360), LoadText(306),
                                          PromptButtons::Ok, PromptIcon::Warning);
    }
    return online ? EditResult::Written : EditResult::Applied;
}
