#include "param/PageHost.h"

#include "link/CommandWait.h"
#include "platform/Ticks.h"

bool PageHost::runCommandWait()
{
    CommandWait wait;
    do
        platform::sleepMs(CommandWait::kTickIntervalMs);
    while (!wait.tick());
    return wait.accepted();
}
