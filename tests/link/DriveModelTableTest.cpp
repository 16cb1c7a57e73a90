// The model tables and their rules: sample rows against values written out
// here, and the rules row by row over the whole tables.
#include "tables/ControlModeTable.h"
#include "tables/DriveModelTable.h"
#include "tables/DriveType.h"
#include "tables/ModelSelectionList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

// Every model under every spelling is found; unknown, malformed and near codes are not.
TEST(ClassifyModelCode, EveryModelUnderEverySpellingAndNoMalformedCode)
{
    const auto respelled = [](std::string name, char separator, bool upper) {
        std::replace(name.begin(), name.end(), '_', separator);
        for (char& c : name)
            c = upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        return name;
    };
    for (int family = 0; family < kFamilyCount; ++family) {
        for (int group = 0; group < ModelCountOfFamily(family); ++group) {
            const std::string name = ModelName(family, group);
            const bool classifiable = family != FamilyVr || group >= 7;
            const ModelCodeClass expected = classifiable ? ModelCodeClass{family, group} : ModelCodeClass{};
            for (const std::string& code : {name, respelled(name, '-', true), respelled(name, ' ', false),
                                            respelled(name, '_', true)})
                EXPECT_EQ(ClassifyModelCode(code), expected) << code;
        }
    }
    for (const std::string& code : {std::string(), std::string("VR-999"), std::string("VR-0088"),
                                    std::string("VR\0008\0\0", 6), std::string("Vr_008 ")})
        EXPECT_EQ(ClassifyModelCode(code), ModelCodeClass{}) << code;
    // Older firmware codes are exact and case-sensitive.
    ModelCodeClass found;
    ASSERT_TRUE(ClassifyOlderFirmwareCode("vr_003", found));
    EXPECT_EQ(found, (ModelCodeClass{FamilyVr, 4}));
    ASSERT_TRUE(ClassifyOlderFirmwareCode("vr-ut1", found));
    EXPECT_EQ(found, (ModelCodeClass{FamilyVr, 6}));
    for (const char* near : {"VR_003", "vr_ut1"})
        EXPECT_FALSE(ClassifyOlderFirmwareCode(near, found)) << near;
}

// A few rows against values written out here, so a wrong table entry cannot pass for right.
TEST(DriveModelTable, RowsHoldTheirWrittenClassAndPr1F)
{
    constexpr int kNone = -1;  // the model fixes no Pr.1F
    const struct {
        int family, group;
        const char* name;
        int driveClass;
        int pr1F;
    } rows[] = {
        {FamilyVr, 4, "Vr_003", 0, kNone},  {FamilyVr, 7, "Vr_005", 0, kNone},
        {FamilyVr, 9, "Vr_101", 1, kNone},  {FamilyVr, 10, "Vr_201", 1, kNone},
        {FamilyVr, 11, "Vr_007", 2, 1},     {FamilyVr, 12, "Vr_102", 2, 2},
        {FamilyVr, 15, "Vr_401", 2, 7},     {FamilyVr, 22, "Vr_B01", 2, 13},
        {FamilyVr, 23, "Vr_008", 3, 1},     {FamilyVr, 29, "Vr_602", 3, 8},
        {FamilyVr, 35, "Vr_C01", 3, 14},    {FamilyQm, 0, "Qm_001", 4, kNone},
        {FamilyZt, 0, "Zt_001", 5, 1},      {FamilyZt, 1, "Zt_101", 5, 2},
        {FamilyZt, 2, "Zt_201", 5, 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ModelName(r.family, r.group), r.name);
        EXPECT_EQ(DriveClassOfModel(r.family, r.group), r.driveClass) << r.name;
        uint16_t required = 0xBEEF;
        EXPECT_EQ(RequiredPr1F(r.family, r.group, required), r.pr1F != kNone) << r.name;
        EXPECT_EQ(required, r.pr1F != kNone ? r.pr1F : 0xBEEF) << r.name;
        uint16_t value = 0x7777;
        EXPECT_EQ(CheckPr1F(value, r.family, r.group, true), r.pr1F != kNone ? 1 : 0) << r.name;
        EXPECT_EQ(value, r.pr1F != kNone ? r.pr1F : 0x7777) << r.name;
    }
}

// Over the whole tables: the class rule agrees with the table column, and
// Pr.1F is corrected exactly for the models that fix it, only when enabled.
TEST(DriveModelTable, ClassRuleAndPr1FCorrectionOverEveryRow)
{
    for (int group : {-1, 36})
        EXPECT_EQ(DriveClassOfGroup(group), 0);
    const uint16_t ztRequired[kZtModelCount] = {1, 2, 0};
    for (int family = 0; family < kFamilyCount; ++family) {
        for (int group = 0; group < ModelCountOfFamily(family); ++group) {
            const int driveClass = family == FamilyVr ? VrModel(group).driveClass : family == FamilyQm ? 4 : 5;
            EXPECT_EQ(DriveClassOfModel(family, group), driveClass) << family << "/" << group;
            if (family == FamilyVr) {
                EXPECT_EQ(DriveClassOfGroup(group), driveClass) << group;
            }
            const bool checked = (family == FamilyVr && group >= 11) || family == FamilyZt;
            const uint16_t required = family == FamilyZt ? ztRequired[group] : VrModel(group).pr1F;
            for (uint16_t wrong : {uint16_t(required + 1), uint16_t(0xFFFF - required)}) {
                uint16_t value = wrong;
                EXPECT_EQ(CheckPr1F(value, family, group, false), 0);
                EXPECT_EQ(value, wrong);
                EXPECT_EQ(CheckPr1F(value, family, group, true), checked ? 1 : 0) << family << "/" << group;
                EXPECT_EQ(value, checked ? required : wrong);
            }
            uint16_t right = required;
            EXPECT_EQ(CheckPr1F(right, family, group, true), 0);
            EXPECT_EQ(right, required);
        }
    }
    uint16_t value = 5;
    EXPECT_EQ(CheckPr1F(value, FamilyVr, 99, true), 0);  // out of range: never touched
    EXPECT_EQ(value, 5);
}

// Selection rows cover the selectable models once and apply their class; odd control modes show dashes.
TEST(ModelSelectionList, RowsCoverTheSelectableModelsOnce)
{
    for (int row = 0; row < kModelSelectionRowCount; ++row) {
        int family = -1, group = -1;
        ASSERT_TRUE(ModelOfSelectionRow(row, family, group));
        EXPECT_EQ(SelectionRowOfModel(family, group), row);
        EXPECT_EQ(ClassifyModelCode(ModelSelectionRowName(row)), (ModelCodeClass{family, group}));
        EXPECT_NE(DriveClassOfModel(family, group), 0) << "class-0 models are not selectable";
        DriveType type;
        ApplyModelSelection(type, row);
        EXPECT_EQ(type.driveClass, DriveClassOfModel(family, group));
        EXPECT_EQ(type.modelName(), ModelSelectionRowName(row));
    }
    for (int mode : {9, -1})
        EXPECT_EQ(ControlModeName(mode), "------------") << mode;
    EXPECT_FALSE(IsInternalPositionMode(9));
}
