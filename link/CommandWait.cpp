#include "link/CommandWait.h"

#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"

CommandWait::~CommandWait()
{
    if (pausedStream_)
        ScopeResume();
}

bool CommandWait::tick()
{
    if (finished_)
        return true;
    LinkState& link = linkState();
    if (!pausedStream_ && link.streamingActive()) {
        ScopePause();
        pausedStream_ = true;
    }
    if (LinkWriteRegister(link.slaveAddress, 0x00, link.commandWait.targetRegister, 0x00, 0x01,
                          replyWaitMs_)) {
        finish(true);
    } else if (++failedTicks_ >= kMaxFailedTicks) {
        finish(false);
    }
    return finished_;
}

void CommandWait::finish(bool accepted)
{
    finished_ = true;
    accepted_ = accepted;
    if (pausedStream_) {
        ScopeResume();
        pausedStream_ = false;
    }
}
