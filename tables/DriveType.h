#pragma once
// The process-wide record of which drive model the tool works with. Zero at
// start: family Vr, group 0 ("------"), drive class 0.

#include <string>

struct DriveType {
    int family = 0;     // 0 Vr, 1 Qm, 2 Zt
    int vrGroup = 0;    // index into the Vr table
    int qmGroup = 0;    // always 0
    int ztGroup = 0;    // 0 to 2
    int driveClass = 0; // 0 to 5: the switch views choose register sets and files by
    int unlistedModel = 0;  // 1 when the drive reported a model the tables do not know

    // The group of the current family (the others keep old values on purpose).
    int group() const;
    void setModel(int newFamily, int newGroup);
    // The table entry at (family, group of that family).
    std::string modelName() const;
};

// The one instance, living for the whole run.
DriveType& CurrentDriveType();
