#pragma once
// The shell's calls into the drive link, gathered in one table so that tests
// can stand in for a drive and the program can start before the link's
// dialogs exist.

#include <functional>

struct DriveLinkBridge {
    std::function<int()> onlineFlag;                 // 1 after a connection
    std::function<bool(int& mode)> readControlMode;  // Pr.02 low byte, 200 ms, 1 retry
    std::function<int(int strict)> verifyDriveModel;
    std::function<void()> runConnectionStep;         // modal connection dialogs
    std::function<void()> forgetConnection;          // before a reconnect
    // Clears the scope's acquisition flags; true when any was set.
    std::function<bool()> stopScopeAcquisition;
};

DriveLinkBridge& LinkBridge();
// Fills the table with the real link (the connection dialogs and the
// program's own Modbus master).
void InstallDriveLink(DriveLinkBridge& bridge);
