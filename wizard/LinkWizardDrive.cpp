#include "wizard/LinkWizardDrive.h"

#include "link/LinkRequests.h"
#include "link/LinkState.h"

namespace {
constexpr uint16_t kReadWaitMs = 200;
constexpr int kReadRetries = 1;
constexpr uint16_t kWriteWaitMs = 100;
}  // namespace

int LinkWizardDrive::readParameter(uint8_t parameter, uint16_t& value)
{
    LinkState& link = linkState();
    if (LinkReadRegisters(link.slaveAddress, 0x00, parameter, 0x00, 0x01, kReadWaitMs, kReadRetries) != 1)
        return 0;
    value = static_cast<uint16_t>(link.lastReadReply[3] << 8 | link.lastReadReply[4]);
    return 1;
}

int LinkWizardDrive::writeParameter(uint8_t parameter, uint16_t value)
{
    return LinkWriteRegister(linkState().slaveAddress, 0x00, parameter, static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value & 0xFF), kWriteWaitMs);
}

WizardDrive& LinkDrive()
{
    static LinkWizardDrive drive;
    return drive;
}
