#include "link/DriveIdentification.h"

#include "tables/DriveModelTable.h"
#include "tables/DriveType.h"
#include "texts/LoadText.h"
#include "comm/CModbus.h"
#include "link/LinkConnection.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "platform/UserPrompt.h"

const char* const kGetIdErrorText = "Get ID Error.";

namespace {

constexpr unsigned short kPr1FRegister = 0x001F;
constexpr unsigned short kEepromSaveRegister = 0x0081;
constexpr int kFirstListedVrGroup = 8;

std::string codeAt(int offset)
{
    return std::string(reinterpret_cast<const char*>(linkState().receiveBuffer + offset), kModelCodeLength);
}

// For messages: up to the first NUL, unprintable bytes as '?'.
std::string printable(const std::string& code)
{
    std::string out;
    for (char c : code) {
        if (c == '\0')
            break;
        out += (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F) ? c : '?';
    }
    return out;
}

void showStop(const std::string& text)
{
    platform::userPrompt().messageBox(text, "Error", platform::PromptButtons::Ok, platform::PromptIcon::Error);
}

}  // namespace

DriveIdentity IdentifyDrive(uint8_t slaveAddress)
{
    DriveIdentity identity;
    if (!LinkReportSlaveId(slaveAddress))
        return identity;
    identity.answered = true;
    ModelCodeClass model;
    const std::string olderCode = codeAt(kOlderFirmwareCodeOffset);
    if (ClassifyOlderFirmwareCode(olderCode, model)) {
        identity.code = olderCode;
    } else {
        identity.code = codeAt(kModelCodeOffset);
        model = ClassifyModelCode(identity.code);
    }
    identity.family = model.family;
    identity.group = model.group;
    return identity;
}

int VerifyDriveModel(int strict, bool repairPr1F)
{
    const DriveIdentity identity = IdentifyDrive(linkState().slaveAddress);
    if (!identity.answered) {
        showStop(kGetIdErrorText);
        return 0;
    }
    const DriveType& current = CurrentDriveType();
    std::string report = LoadText(362) + current.modelName() + "\n" + LoadText(367) +
                         printable(identity.code) + "\n";
    if (strict == 1 && identity.family == FamilyVr && identity.group < kFirstListedVrGroup) {
        showStop(report + LoadText(364) + LoadText(368));
        return 0;
    }
    if (identity.family != current.family || identity.group != current.group()) {
        showStop(report + LoadText(364) + "\n" + LoadText(366));
        return 0;
    }

    CModbus& modbus = LinkModbus();
    unsigned short value = 0;
    if (!modbus.ReadHoldingRegisters(kPr1FRegister, 1, &value)) {
        showStop(kGetIdErrorText);
        return 0;
    }
    uint16_t corrected = value;
    if (!CheckPr1F(corrected, identity.family, identity.group, repairPr1F))
        return 1;
    platform::userPrompt().messageBox(LoadText(602), "Warning", platform::PromptButtons::Ok,
                                      platform::PromptIcon::Warning);
    unsigned short pr1F = corrected;
    // The drive commits RAM to EEPROM when 1 is written to the save register.
    unsigned short save = 1;
    if (!modbus.WriteMultipleRegisters(kPr1FRegister, 1, &pr1F) ||
        !modbus.WriteMultipleRegisters(kEepromSaveRegister, 1, &save)) {
        showStop(kGetIdErrorText);
        return 0;
    }
    return 1;
}
