// The shell's calls wired to the program's drive link and its dialogs.

#include "app/DriveLinkBridge.h"
#include "app/PluginLink.h"
#include "app/ShellState.h"
#include "link/DriveIdentification.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"
#include "link/ui/CSetComPortDlg.h"

#include <QApplication>

void InstallDriveLink(DriveLinkBridge& bridge)
{
    LinkState& link = linkState();
    PluginLinkState().useLinkCopies(&link.pluginPortHandle, &link.pluginSlaveAddress,
                                    &link.pluginLinkUp);
    bridge.onlineFlag = [] { return linkState().online; };
    bridge.readControlMode = [](int& mode) {
        LinkState& state = linkState();
        if (LinkReadRegisters(state.slaveAddress, 0x00, 0x02, 0x00, 0x01, 200, 1) != 1)
            return false;
        mode = state.receiveBuffer[4];
        return true;
    };
    bridge.verifyDriveModel = [](int strict) {
        return VerifyDriveModel(strict, Shell().settings.repairPr1F != 0);
    };
    bridge.runConnectionStep = [] {
        CSetComPortDlg::runConnectionStep(Shell().preferencePath(), QApplication::activeWindow());
    };
    bridge.forgetConnection = [] { linkState().online = 0; };
    // Also parks the acquisition worker and stops the drive's stream.
    bridge.stopScopeAcquisition = [] { return ScopeHaltAcquisition(); };
}
