#pragma once
// drivara-cli's exit codes, which scripts test.

enum CliExit : int {
    kExitOk = 0,
    kExitDriveFailure = 1,  // the drive or the line failed
    kExitUsage = 2,         // a wrong command line, a file that cannot be used, a question not confirmed
    kExitDiffers = 3        // compare: the drive differs from the file
};
