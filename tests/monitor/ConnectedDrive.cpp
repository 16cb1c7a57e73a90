#include "tests/monitor/ConnectedDrive.h"

#include "comm/CModbus.h"
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/LinkRegisterValues.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"
#include "platform/PortTable.h"
#include "platform/Ticks.h"
#include "tests/link/LinkTestBed.h"

namespace {
constexpr int kBaudIndex115200 = 3;
constexpr uint8_t kSilentStation = 77;
}  // namespace

ConnectedDrive::ConnectedDrive(const std::vector<std::string>& extraOptions)
{
    ResetLinkState();
    std::vector<std::string> options{"--station", "1", "--baud", "115200", "--pace", "--latency", "2"};
    options.insert(options.end(), extraOptions.begin(), extraOptions.end());
    sim_ = std::make_unique<DriveSimProcess>(options);
    if (!sim_->ok())
        return;
    MapOnlyPort(1, sim_->portPath());
    const platform::PortHandle port = OpenLinkPort(1, kBaudIndex115200);
    if (!platform::isOpenHandle(port))
        return;
    CompleteConnection(port, kStation);
    ok_ = true;
}

ConnectedDrive::~ConnectedDrive()
{
    if (ok_ && linkState().streamingActive())
        stopStream();
    ResetLinkState();
    sim_.reset();
}

void ConnectedDrive::silence()
{
    linkState().slaveAddress = kSilentStation;
    LinkModbus().SetSlaveAddress(kSilentStation);
}

void ConnectedDrive::answerAgain()
{
    linkState().slaveAddress = kStation;
    LinkModbus().SetSlaveAddress(kStation);
}

bool ConnectedDrive::readRegisters(uint16_t start, uint8_t count, uint16_t* values)
{
    StreamPause pause;
    if (LinkReadRegistersUpTo(linkState().slaveAddress, start >> 8, start & 0xFF, 0x00, count, 100, 2) != 1)
        return false;
    const uint8_t* data = linkState().lastReadReply + 3;
    for (uint8_t i = 0; i < count; ++i)
        values[i] = static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
    return true;
}

bool ConnectedDrive::writeRegister(uint16_t reg, uint16_t value)
{
    StreamPause pause;
    return LinkWriteRegisterValue(reg, value, 20) == 1;
}

bool ConnectedDrive::setCoils(uint16_t start, uint16_t count, uint16_t bits)
{
    uint8_t packed[2] = {static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>(bits >> 8)};
    StreamPause pause;
    platform::serialPurge(LinkModbus().m_hComm, platform::PurgeRx);
    return LinkModbus().WriteMultipleCoils(start, count, packed) == 1;
}

void ConnectedDrive::startStream(uint8_t mask)
{
    LinkState& link = linkState();
    link.channelMask = mask;
    // The start's echo may be buried in the stream; the stream runs all the same.
    LinkWriteRegister(kStation, 0x00, kChannelSelectRegister, 0x00, mask, 0);
    link.scanRunning = 1;
}

void ConnectedDrive::stopStream()
{
    LinkState& link = linkState();
    link.scanRunning = 0;
    for (int attempt = 0; attempt < 5; ++attempt)
        if (LinkWriteRegister(kStation, 0x00, kChannelSelectRegister, 0x00, 0x00, 100))
            break;
}

uint32_t ConnectedDrive::queuedAfterMs(int ms)
{
    platform::sleepMs(ms);
    uint32_t queued = 0;
    platform::serialQueuedInput(linkState().portHandle, queued);
    return queued;
}
