#include "link/ScopeStreamControl.h"

#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "platform/WorkerGate.h"

#include <cstring>

void ScopePause()
{
    LinkState& link = linkState();
    if (!link.streamingActive())
        return;
    if (link.streamPauseDepth++ > 0)
        return;
    LinkWriteRegisterDirect(link.slaveAddress, 0x00, kChannelSelectRegister, 0x00, 0x00, 0);
    if (link.acquisitionWorker)
        link.acquisitionWorker->suspend();
}

void ScopeResume()
{
    LinkState& link = linkState();
    // Only a resume that matches a pause counts; the stream may have been
    // halted meanwhile, and then nothing restarts it.
    if (link.streamPauseDepth == 0 || --link.streamPauseDepth > 0 || !link.streamingActive())
        return;
    // The whole buffer, not just a write reply's 8 bytes: an identification
    // answer of 34 bytes must survive the restart of the stream.
    uint8_t kept[kReceiveBufferSize];
    std::memcpy(kept, link.receiveBuffer, sizeof kept);
    const LinkFailure failure = link.lastFailure;
    LinkWriteRegisterDirect(link.slaveAddress, 0x00, kChannelSelectRegister, 0x00, link.channelMask, 0);
    if (link.acquisitionWorker)
        link.acquisitionWorker->resume();
    std::memcpy(link.receiveBuffer, kept, sizeof kept);
    link.lastFailure = failure;
}

bool ScopeHaltAcquisition()
{
    LinkState& link = linkState();
    const bool acquiring = link.scanRunning == 1 || link.scopeRunning == 1 || link.triggerRunning == 1;
    link.scanRunning = 0;
    link.scopeRunning = 0;
    link.triggerRunning = 0;
    if (!acquiring)
        return false;
    if (link.acquisitionWorker)
        link.acquisitionWorker->suspend();
    if (platform::isOpenHandle(link.portHandle))
        LinkWriteRegister(link.slaveAddress, 0x00, kChannelSelectRegister, 0x00, 0x00, 100);
    return true;
}
