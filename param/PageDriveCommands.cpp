#include "param/PageDriveCommands.h"

#include "link/DriveIdentification.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "param/DriveParameterReader.h"
#include "param/PageHost.h"
#include "param/ParameterPage.h"
#include "platform/Ticks.h"
#include "platform/UserPrompt.h"
#include "tables/DriveModelTable.h"
#include "texts/LoadText.h"

namespace {

using platform::PromptButtons;
using platform::PromptIcon;

constexpr unsigned kReadCommandPauseMs = 5;
constexpr unsigned kTransferSettleMs = 100;
constexpr uint16_t kClassZeroResetWaitMs = 300;
constexpr size_t kFirmwareTextBytes = 30;

bool confirm(unsigned textId)
{
    return platform::userPrompt().messageBox(LoadText(textId), LoadText(306), PromptButtons::OkCancel,
                                             PromptIcon::Warning) == platform::PromptOk;
}

void tell(unsigned textId, const std::string& caption, PromptIcon icon)
{
    platform::userPrompt().messageBox(LoadText(textId), caption, PromptButtons::Ok, icon);
}

bool writeRegister(int reg, int32_t value, uint16_t waitMs)
{
    const uint16_t word = static_cast<uint16_t>(value & 0xFFFF);
    return LinkWriteRegister(linkState().slaveAddress, 0x00, static_cast<uint8_t>(reg),
                             static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF), waitMs) == 1;
}

// The command-wait step on a command register; true when the drive took it.
bool runCommand(PageHost& host, unsigned messageId, uint8_t reg)
{
    CommandWaitRequest& request = linkState().commandWait;
    request.heading = LoadText(306);
    request.message = LoadText(messageId);
    request.colourMode = 2;
    request.targetRegister = reg;
    return host.runCommandWait();
}

// The command register reads back 1 in its low byte once the drive is done.
bool commandDone(uint8_t reg)
{
    int16_t value = 0;
    return ReadDriveRegister(reg, value) && (value & 0xFF) == 1;
}

bool skippedOnOlderFirmware(const ParameterPage& page, int parameter)
{
    const DriveType& drive = page.drive();
    return drive.driveClass != 0 && (drive.group() == 4 || drive.group() == 6) &&
           (parameter == 0x4E || parameter == 0x4F || parameter == 0x74);
}

}  // namespace

bool ReadAllParameters(ParameterPage& page, PageHost& host, bool readCommand)
{
    host.setProgressRange(0, kParameterCount);
    ParameterValues values{};
    const bool ok = ReadDriveParameters(
        values,
        [&](int p, int16_t value) {
            if (p == kRealtimeTuningParameter)
                page.setRealtimeTuning(static_cast<uint8_t>(value & 0xFF));
            const int index = page.rowOf(p);
            if (index >= 0) {
                page.row(index).value = value;
                page.row(index).hasValue = true;
                host.valueChanged(index);
            }
            host.setProgress(p + 1);
        },
        readCommand ? kReadCommandPauseMs : 0);
    host.setProgress(0);
    return ok;
}

bool RefreshPageFromDrive(ParameterPage& page, PageHost& host)
{
    if (VerifyDriveModel(0, page.environment().repairPr1F) == 0)
        return false;
    platform::WaitCursor wait;
    if (!ReadAllParameters(page, host, true)) {
        host.setStatus(LoadText(346));
        return false;
    }
    host.setStatus(LoadText(345));
    tell(347, "Remind", PromptIcon::Information);
    return true;
}

bool TransferPage(ParameterPage& page, PageHost& host)
{
    if (!confirm(332))
        return false;
    platform::sleepMs(kTransferSettleMs);
    if (VerifyDriveModel(1, page.environment().repairPr1F) == 0)
        return false;
    platform::WaitCursor wait;
    host.setProgressRange(0, kParameterCount);
    for (int p = 0; p < kParameterCount; ++p) {
        host.setProgress(p);
        const int index = page.rowOf(p);
        if (index < 0 || skippedOnOlderFirmware(page, p))
            continue;
        const int32_t value = page.row(index).hasValue ? page.row(index).value : 0;
        if (!writeRegister(p, value, 0)) {
            tell(308, "Error", PromptIcon::Error);
            host.setStatus(LoadText(333));
            host.setProgress(0);
            return false;
        }
        // The drive answers at its new station from now on.
        if (p == kStationParameter && value >= 1 && value <= 255 && value != linkState().slaveAddress)
            FollowStationAddress(value);
        host.setStatus(ParameterHex(p) + " " + LoadText(335));
    }
    host.setProgress(0);
    tell(336, "Status", PromptIcon::Information);
    host.setStatus(LoadText(337));
    return true;
}

bool SavePageToEeprom(const ParameterPage& page, PageHost& host)
{
    if (!confirm(338))
        return false;
    platform::WaitCursor wait;
    const bool accepted = runCommand(host, 339, kEepromSaveRegister);
    const bool saved = page.drive().driveClass != 0 ? commandDone(kEepromSaveRegister) : accepted;
    if (saved) {
        tell(311, "Remind", PromptIcon::Information);
        host.setStatus(LoadText(310));
    } else {
        tell(308, "Error", PromptIcon::Error);
        host.setStatus(LoadText(309));
    }
    return saved;
}

bool ResetDriveToFactory(ParameterPage& page, PageHost& host)
{
    if (!confirm(341))
        return false;
    platform::WaitCursor wait;
    if (page.drive().driveClass == 0) {
        const bool ok = writeRegister(kFactoryResetRegister, 1, kClassZeroResetWaitMs);
        tell(ok ? 315 : 314, ok ? "Remind" : "Error", ok ? PromptIcon::Information : PromptIcon::Error);
        host.setStatus(LoadText(ok ? 315 : 314));
        return ok;
    }
    runCommand(host, 342, kFactoryResetRegister);
    if (!commandDone(kFactoryResetRegister)) {
        tell(344, "Error", PromptIcon::Error);
        host.setStatus(LoadText(314));
        return false;
    }
    tell(343, "Remind", PromptIcon::Warning);
    host.setStatus(LoadText(315));
    const bool read = ReadAllParameters(page, host);
    host.setStatus(LoadText(read ? 317 : 316));
    return read;
}

std::string FirmwareVersionText(const ParameterPage& page)
{
    const DriveType& drive = page.drive();
    if (linkState().online != 1) {
        if (drive.family == FamilyVr && drive.vrGroup >= 0 && drive.vrGroup < kVrModelCount)
            return VrModel(drive.vrGroup).firmwareText;
        return "Not Define Versio!";
    }
    if (!LinkReportSlaveId(linkState().slaveAddress))
        return "Get ID Fail!";
    // The raw answer as characters (Latin-1), blanks for NUL and control bytes.
    std::string text;
    for (size_t i = 0; i < kFirmwareTextBytes; ++i) {
        const unsigned char c = linkState().receiveBuffer[i];
        if (c < 0x20 || c == 0x7F) {
            text += ' ';
        } else if (c < 0x80) {
            text += static_cast<char>(c);
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}
