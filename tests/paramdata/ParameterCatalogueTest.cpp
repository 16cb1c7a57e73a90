// The parameter catalogue against what the tool and the drive state about
// the parameters: the model table, the ranges of the wizards and the gain
// estimate, the page's built-in tables, and the drive's own factory values
// and write limits.

#include "param/BuiltInParameterTables.h"
#include "param/ModelDriveType.h"
#include "param/PageMode.h"
#include "sim/ParameterTable.h"
#include "tables/DriveModelTable.h"
#include "tables/ModelSelectionList.h"
#include "tables/ParameterCatalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using Model = ParameterCatalogue::Model;

// A parameter's range as the wizard dialogs, the gain estimate (same as the
// wizards for the gains), the station and the control-mode choice state it.
struct Range {
    int parameter;
    int minimum;
    int maximum;
};
const Range kStatedRanges[] = {
    {0x05, 0, 3},          {0x06, 0, 2},          {0x10, 1, 2000},       {0x11, 1, 3500},
    {0x12, 1, 1000},       {0x13, 0, 5},          {0x14, 25, 2500},      {0x15, 0, 1500},
    {0x16, 0, 6400},       {0x1D, 50, 1600},      {0x1E, 0, 4},          {0x20, 0, 10000},
    {0x28, 100, 1500},     {0x29, 0, 4},          {0x2A, 0, 99},         {0x40, 0, 1},
    {0x41, 0, 1},          {0x42, 0, 3},          {0x44, 0, 255},        {0x45, 0, 1},
    {0x46, 1, 10000},      {0x48, 0, 3},          {0x4B, 1, 10000},      {0x4C, 0, 7},
    {0x4E, 1, 9999},       {0x4F, 1, 255},        {0x50, 10, 2000},      {0x51, 0, 1},
    {0x52, -2047, 2047},   {0x53, -10000, 10000}, {0x54, -10000, 10000}, {0x55, -10000, 10000},
    {0x56, -10000, 10000}, {0x58, 0, 10000},      {0x59, 0, 10000},      {0x5A, 0, 1000},
    {0x5C, 10, 100},       {0x5D, 0, 1},          {0x74, -10000, 10000}, {0x75, -10000, 10000},
    {0x76, -10000, 10000}, {0x77, -10000, 10000}, {0x00, 1, 255},        {0x02, 0, 8},
    {0x1F, 0, 14},
};

std::string where(const Model& m, int parameter)
{
    char text[32];
    std::snprintf(text, sizeof text, " Pr.%02X", parameter);
    return m.name + text;
}

// Catches a catalogue (or a name look-up) with other models, classes or Pr.1F codes than the selection list.
TEST(ParameterCatalogue, ModelsAreTheSelectionListWithTheirClassAndPr1F)
{
    ASSERT_EQ(ParameterCatalogue::modelCount(), kModelSelectionRowCount);
    for (int row = 0; row < kModelSelectionRowCount; ++row) {
        int family = 0, group = 0;
        ASSERT_TRUE(ModelOfSelectionRow(row, family, group));
        const Model m = ParameterCatalogue::model(row);
        EXPECT_EQ(m.name, ModelName(family, group));
        EXPECT_EQ(m.driveClass, DriveClassOfModel(family, group)) << m.name;
        uint16_t pr1f = 0;  // the Qm model fixes none
        if (family == FamilyVr)
            pr1f = VrModel(group).pr1F;
        else
            RequiredPr1F(family, group, pr1f);
        EXPECT_EQ(m.parameters[0x1F].factory, pr1f) << m.name;
        Model found;
        ASSERT_TRUE(ParameterCatalogue::findModel(m.name, found));
        EXPECT_EQ(found.name, m.name);
        DriveType drive;  // the page finds the same drive type by the name
        ASSERT_TRUE(DriveTypeOfModel(m.name, drive));
        EXPECT_EQ(std::tuple(drive.family, drive.group(), drive.driveClass), std::tuple(family, group, m.driveClass));
    }
    Model found;
    EXPECT_TRUE(ParameterCatalogue::findModel("vr-a02", found));
    EXPECT_EQ(found.name, "Vr_A02");
    DriveType drive;
    for (auto [spelled, family, group] : {std::tuple{"VR-008", FamilyVr, 23}, {"Qm 001", FamilyQm, 0}, {"zt_201", FamilyZt, 2}})
        EXPECT_TRUE(DriveTypeOfModel(spelled, drive) && drive.family == family && drive.group() == group) << spelled;
    for (const char* unknown : {"Vr_005", "Vr_9999"})
        EXPECT_FALSE(ParameterCatalogue::findModel(unknown, found) || DriveTypeOfModel(unknown, drive)) << unknown;
}

// Catches a factory value outside its range, or a range that differs from
// what a wizard or the estimate may send (Pr.28 also takes 1600: notch off).
TEST(ParameterCatalogue, FactoryValuesLieInTheirRangesAndRangesAreTheStatedOnes)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        for (const auto& p : m.parameters) {
            EXPECT_EQ(p.number, &p - m.parameters.data());
            EXPECT_TRUE(p.minimum <= p.factory && p.factory <= p.maximum) << where(m, p.number);
        }
        for (const Range& r : kStatedRanges) {
            const auto& p = m.parameters[r.parameter];
            const int maximum = r.parameter == 0x28 ? 1600 : r.maximum;
            EXPECT_TRUE(p.minimum == r.minimum && p.maximum == maximum) << where(m, r.parameter);
        }
    }
}

// Catches catalogue flags that disagree with the page's built-in tables of
// groups 8-35 (first generation: group 8; later ones: group 11).
TEST(ParameterCatalogue, FlagsAgreeWithTheBuiltInPageTables)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        const ParameterSet unused = BuiltInUnusedParameters(m.driveClass == 1 ? 8 : 11);
        for (const auto& p : m.parameters) {
            const int n = p.number;
            int bits = 0;
            for (int mode = PageModePosition; mode <= PageModeTorque; ++mode)
                bits |= BuiltInVisibleParameters(11, mode).test(n) ? 1 << (mode - PageModePosition) : 0;
            EXPECT_EQ(p.modeBits, bits) << where(m, n);
            EXPECT_EQ(p.unused, unused.test(n)) << where(m, n);
            EXPECT_EQ(p.restart, BuiltInRestartParameters().test(n)) << where(m, n);
            EXPECT_EQ(p.autoTuneLocked, AutoTuningLockedParameters().test(n)) << where(m, n);
        }
    }
    Model first, later;  // the first generation has its own help for what it lacks
    ASSERT_TRUE(ParameterCatalogue::findModel("Vr_101", first));
    ASSERT_TRUE(ParameterCatalogue::findModel("Vr_102", later));
    for (int n : {0x21, 0x22, 0x25, 0x29, 0x5F})
        EXPECT_STRNE(first.parameters[n].help, later.parameters[n].help) << n;
}

// Catches drivesim starting from other values than the catalogue's (station
// and control mode come from its options) or taking another range on a write.
TEST(ParameterCatalogue, DriveStartsAtTheFactoryValuesAndRefusesWhatLiesOutside)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        const std::string code = m.name.substr(0, 2) + "-" + m.name.substr(3);  // as typed: "Vr-006"
        const auto values = drivesim::ParameterTable::factoryValues(code, 7, 3, m.parameters[0x1F].factory);
        for (const auto& p : m.parameters) {
            using drivesim::ParameterTable;
            EXPECT_EQ(values[p.number], p.number == 0 ? 7 : p.number == 2 ? 3 : p.factory) << where(m, p.number);
            EXPECT_TRUE(ParameterTable::accepts(code, p.number, values[p.number])) << where(m, p.number);
            EXPECT_TRUE(ParameterTable::accepts(code, p.number, p.minimum)) << where(m, p.number);
            EXPECT_TRUE(ParameterTable::accepts(code, p.number, p.maximum)) << where(m, p.number);
            EXPECT_FALSE(p.minimum > -32768 && ParameterTable::accepts(code, p.number, p.minimum - 1))
                << where(m, p.number);
            EXPECT_FALSE(p.maximum < 32767 && ParameterTable::accepts(code, p.number, p.maximum + 1))
                << where(m, p.number);
        }
    }
    // A model the catalogue does not list is a current-generation drive.
    const auto older = drivesim::ParameterTable::factoryValues("vr_003", 1, 0, 1);
    EXPECT_EQ(older[0x11], 36);
    EXPECT_EQ(older[0x1F], 1);
    EXPECT_FALSE(drivesim::ParameterTable::accepts("vr_003", 0x11, 3501));
}

}  // namespace
