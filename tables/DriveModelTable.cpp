#include "tables/DriveModelTable.h"

#include <cctype>

namespace {

constexpr const char* kNoVersion = "Not Define Versio!";

const VrModelEntry kVrModels[kVrModelCount] = {
    {"------", 0, 1, kNoVersion},
    {"------", 0, 1, kNoVersion},
    {"Vr_001", 0, 1, kNoVersion},
    {"Vr_002", 0, 1, kNoVersion},
    {"Vr_003", 0, 1, "Version 1.0.1.2 Vr-003"},
    {"Vr_004", 0, 1, kNoVersion},
    {"Vr_UT1", 0, 1, "Version 1.0.1.2 Vr-UT1"},
    {"Vr_005", 0, 1, "Version 1.0.1.2 Vr-005"},
    {"Vr_006", 1, 1, "Version 1.0.1.6 Vr-006"},
    {"Vr_101", 1, 2, "Version 1.0.1.6 Vr-101"},
    {"Vr_201", 1, 0, "Version 1.0.1.6 Vr-201"},
    {"Vr_007", 2, 1, "Version 1.0.1.8 Vr-007"},
    {"Vr_102", 2, 2, "Version 1.0.1.8 Vr-102"},
    {"Vr_202", 2, 0, "Version 1.0.1.8 Vr-202"},
    {"Vr_301", 2, 3, kNoVersion},
    {"Vr_401", 2, 7, kNoVersion},
    {"Vr_501", 2, 4, kNoVersion},
    {"Vr_601", 2, 8, kNoVersion},
    {"Vr_701", 2, 9, kNoVersion},
    {"Vr_801", 2, 12, kNoVersion},
    {"Vr_901", 2, 11, kNoVersion},
    {"Vr_A01", 2, 10, kNoVersion},
    {"Vr_B01", 2, 13, kNoVersion},
    {"Vr_008", 3, 1, kNoVersion},
    {"Vr_103", 3, 2, kNoVersion},
    {"Vr_203", 3, 0, kNoVersion},
    {"Vr_302", 3, 3, kNoVersion},
    {"Vr_402", 3, 7, kNoVersion},
    {"Vr_502", 3, 4, kNoVersion},
    {"Vr_602", 3, 8, kNoVersion},
    {"Vr_702", 3, 9, kNoVersion},
    {"Vr_802", 3, 12, kNoVersion},
    {"Vr_902", 3, 11, kNoVersion},
    {"Vr_A02", 3, 10, kNoVersion},
    {"Vr_B02", 3, 13, kNoVersion},
    {"Vr_C01", 3, 14, kNoVersion},
};

const char* const kQmModels[kQmModelCount] = {"Qm_001"};
const char* const kZtModels[kZtModelCount] = {"Zt_001", "Zt_101", "Zt_201"};
const uint16_t kZtPr1F[kZtModelCount] = {1, 2, 0};

// Groups below this are never matched by their code: they are either
// placeholders or identified by the older firmware codes.
constexpr int kFirstClassifiedVrGroup = 7;
// Pr.1F is fixed only from this Vr group on.
constexpr int kFirstPr1FCheckedVrGroup = 11;

// Blanks for "-" and "_", lower case, so codes compare loosely.
std::string normalisedCode(const std::string& code)
{
    std::string out = code;
    for (char& c : out) {
        if (c == '-' || c == '_')
            c = ' ';
        else
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

const VrModelEntry& VrModel(int group)
{
    if (group < 0 || group >= kVrModelCount)
        return kVrModels[0];
    return kVrModels[group];
}

int ModelCountOfFamily(int family)
{
    switch (family) {
    case FamilyVr: return kVrModelCount;
    case FamilyQm: return kQmModelCount;
    case FamilyZt: return kZtModelCount;
    default: return 0;
    }
}

std::string ModelName(int family, int group)
{
    if (group < 0 || group >= ModelCountOfFamily(family))
        return {};
    switch (family) {
    case FamilyVr: return kVrModels[group].name;
    case FamilyQm: return kQmModels[group];
    default: return kZtModels[group];
    }
}

bool RequiredPr1F(int family, int group, uint16_t& value)
{
    if (family == FamilyVr && group >= kFirstPr1FCheckedVrGroup && group < kVrModelCount) {
        value = kVrModels[group].pr1F;
        return true;
    }
    if (family == FamilyZt && group >= 0 && group < kZtModelCount) {
        value = kZtPr1F[group];
        return true;
    }
    return false;
}

ModelCodeClass ClassifyModelCode(const std::string& code)
{
    const std::string wanted = normalisedCode(code);
    for (int group = kFirstClassifiedVrGroup; group < kVrModelCount; ++group) {
        if (wanted == normalisedCode(kVrModels[group].name))
            return {FamilyVr, group};
    }
    if (wanted == normalisedCode(kQmModels[0]))
        return {FamilyQm, 0};
    for (int group = 0; group < kZtModelCount; ++group) {
        if (wanted == normalisedCode(kZtModels[group]))
            return {FamilyZt, group};
    }
    return {FamilyVr, 0};
}

bool ClassifyOlderFirmwareCode(const std::string& code, ModelCodeClass& result)
{
    if (code == "vr_003") {
        result = {FamilyVr, 4};
        return true;
    }
    if (code == "vr-ut1") {
        result = {FamilyVr, 6};
        return true;
    }
    return false;
}

int DriveClassOfGroup(int vrGroup)
{
    if (vrGroup >= 8 && vrGroup <= 10)
        return 1;
    if (vrGroup >= 11 && vrGroup <= 22)
        return 2;
    if (vrGroup >= 23 && vrGroup <= 35)
        return 3;
    return 0;
}

int DriveClassOfModel(int family, int group)
{
    if (family == FamilyQm)
        return kQmDriveClass;
    if (family == FamilyZt)
        return kZtDriveClass;
    return DriveClassOfGroup(group);
}

int CheckPr1F(uint16_t& value, int family, int group, bool enabled)
{
    uint16_t required = 0;
    if (!enabled || !RequiredPr1F(family, group, required))
        return 0;
    if (value == required)
        return 0;
    value = required;
    return 1;
}
