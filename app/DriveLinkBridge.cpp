#include "app/DriveLinkBridge.h"

DriveLinkBridge& LinkBridge()
{
    static DriveLinkBridge bridge;
    return bridge;
}
