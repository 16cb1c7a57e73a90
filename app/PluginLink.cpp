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
    if ((vars.statusWord & kPluginServoOnBit) == 0)
        return true;
    vars.closeRequest = 1;
    const uint32_t start = platform::tickCount();
    while ((vars.statusWord & kPluginCloseAnsweredBit) == 0) {
        if (uint32_t(platform::tickCount() - start) >= limitMs)
            return false;
        if (betweenPolls)
            betweenPolls();
        platform::sleepMs(100);
    }
    return true;
}
