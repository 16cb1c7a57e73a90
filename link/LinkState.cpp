#include "link/LinkState.h"

LinkState& linkState()
{
    static LinkState instance;
    return instance;
}
