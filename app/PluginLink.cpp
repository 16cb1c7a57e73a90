#include "app/PluginLink.h"

#include "platform/Ticks.h"

void PluginLinkVariables::useLinkCopies(int* port, uint8_t* slave, int* up)
{
    portHandle = port;
    slaveAddress = slave;
    linkUp = up;
}

PluginLinkRecord PluginLinkVariables::bind()
{
    closeRequest = 0;
    statusWord = 0;
    return PluginLinkRecord{portHandle, nullptr, slaveAddress, linkUp, &closeRequest, &statusWord};
}

PluginLinkVariables& PluginLinkState()
{
    static PluginLinkVariables vars;
    return vars;
}

bool WaitForPluginClose(PluginLinkVariables& vars, const std::function<void()>& betweenPolls,
                        unsigned limitMs)
{
    constexpr unsigned kPollMs = 100;
    if ((vars.statusWord & kPluginServoOnBit) == 0)
        return true;
    vars.closeRequest = 1;
    // Only the host's own polls count toward the limit. The plug-in asks its
    // question on this thread, inside betweenPolls: however long the user
    // takes to answer, the servo-off write that follows gets the whole limit.
    for (unsigned waitedMs = 0; (vars.statusWord & kPluginCloseAnsweredBit) == 0; waitedMs += kPollMs) {
        if (waitedMs >= limitMs)
            return false;
        if (betweenPolls)
            betweenPolls();
        platform::sleepMs(kPollMs);
    }
    return true;
}
