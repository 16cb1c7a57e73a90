#pragma once
// The built-in model tables of the three drive families and the rules that
// map a model code reported by a drive onto a family and model group.

#include <cstdint>
#include <string>

enum ModelFamily : int { FamilyVr = 0, FamilyQm = 1, FamilyZt = 2 };
constexpr int kFamilyCount = 3;
constexpr int kVrModelCount = 36;
constexpr int kQmModelCount = 1;
constexpr int kZtModelCount = 3;

// Drive classes: 0 to 3 for the Vr generations, 4 for Qm, 5 for Zt.
constexpr int kQmDriveClass = 4;
constexpr int kZtDriveClass = 5;

// One row of the Vr table.
struct VrModelEntry {
    const char* name;
    int driveClass;
    uint16_t pr1F;             // the value Pr.1F must hold for this model
    const char* firmwareText;  // shown off line as the drive version
};

// Entry of the Vr table; group must be 0 to 35.
const VrModelEntry& VrModel(int group);
// Number of entries of a family's table (0 for an unknown family).
int ModelCountOfFamily(int family);
// The model name at (family, group); empty when either is out of range.
std::string ModelName(int family, int group);
// The value Pr.1F must hold, when the model fixes one (Vr groups 11 to 35
// and the Zt models; false otherwise).
bool RequiredPr1F(int family, int group, uint16_t& value);

// A family and model group found for a code.
struct ModelCodeClass {
    int family = FamilyVr;
    int group = 0;
    bool operator==(const ModelCodeClass& o) const { return family == o.family && group == o.group; }
};

// Classifies a 6-character model code: "-" and "_" count as blanks and case
// is ignored; only Vr groups 7 to 35, Qm and Zt are matched. Nothing matched
// gives family 0, group 0.
ModelCodeClass ClassifyModelCode(const std::string& code);
// Older firmware names itself at another place of the identification reply
// with an exact, case-sensitive code ("vr_003" group 4, "vr-ut1" group 6).
bool ClassifyOlderFirmwareCode(const std::string& code, ModelCodeClass& result);

// Drive class of a Vr group: 8-10 give 1, 11-22 give 2, 23-35 give 3, else 0.
int DriveClassOfGroup(int vrGroup);
// Drive class of any model (Qm 4, Zt 5).
int DriveClassOfModel(int family, int group);

// Pr.1F correction: when enabled and the model fixes Pr.1F, a differing
// value is replaced by the required one and 1 is returned; otherwise 0.
int CheckPr1F(uint16_t& value, int family, int group, bool enabled);
