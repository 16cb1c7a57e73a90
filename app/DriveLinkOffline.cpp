// The shell's calls while the program is built without the drive link: it
// works off line, with no drive to read and no connection dialog.

#include "app/DriveLinkBridge.h"

void InstallDriveLink(DriveLinkBridge& bridge)
{
    bridge.onlineFlag = [] { return 0; };
    bridge.readControlMode = [](int&) { return false; };
    bridge.verifyDriveModel = [](int) { return 0; };
    bridge.runConnectionStep = [] {};
    bridge.forgetConnection = [] {};
    bridge.stopScopeAcquisition = [] { return false; };
}
