// The parameter catalogue against what the tool and the drive state about
// the parameters: the model table, the ranges of the wizards and the gain
// estimate, the built-in page tables of the first two generations, and the
// drive's own factory values and write limits.

#include "sim/ParameterTable.h"
#include "tables/DriveModelTable.h"
#include "tables/ModelSelectionList.h"
#include "tables/ParameterCatalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace {

using Model = ParameterCatalogue::Model;

// "00 05-06 0B" -> {0x00, 0x05, 0x06, 0x0B}
std::set<int> numbers(const std::string& list)
{
    std::set<int> out;
    std::istringstream in(list);
    std::string item;
    while (in >> item) {
        const size_t dash = item.find('-');
        const int first = std::stoi(item.substr(0, dash), nullptr, 16);
        const int last = dash == std::string::npos ? first : std::stoi(item.substr(dash + 1), nullptr, 16);
        for (int n = first; n <= last; ++n)
            out.insert(n);
    }
    return out;
}

struct Range {
    int parameter;
    int minimum;
    int maximum;
    const char* source;
};

// Every range stated for a parameter outside the catalogue: the wizard
// dialogs' table, the gain estimate's checks, the station and control mode.
const Range kStatedRanges[] = {
    {0x05, 0, 3, "wizard"},      {0x06, 0, 2, "wizard"},       {0x10, 1, 2000, "wizard"},
    {0x11, 1, 3500, "wizard"},   {0x12, 1, 1000, "wizard"},    {0x13, 0, 5, "wizard"},
    {0x14, 25, 2500, "wizard"},  {0x15, 0, 1500, "wizard"},    {0x16, 0, 6400, "wizard"},
    {0x1D, 50, 1600, "wizard"},  {0x1E, 0, 4, "wizard"},       {0x20, 0, 10000, "wizard"},
    {0x28, 100, 1500, "wizard"}, {0x29, 0, 4, "wizard"},       {0x2A, 0, 99, "wizard"},
    {0x40, 0, 1, "wizard"},      {0x41, 0, 1, "wizard"},       {0x42, 0, 3, "wizard"},
    {0x44, 0, 255, "wizard"},    {0x45, 0, 1, "wizard"},       {0x46, 1, 10000, "wizard"},
    {0x48, 0, 3, "wizard"},      {0x4B, 1, 10000, "wizard"},   {0x4C, 0, 7, "wizard"},
    {0x4E, 1, 9999, "wizard"},   {0x4F, 1, 255, "wizard"},     {0x50, 10, 2000, "wizard"},
    {0x51, 0, 1, "wizard"},      {0x52, -2047, 2047, "wizard"}, {0x53, -10000, 10000, "wizard"},
    {0x54, -10000, 10000, "wizard"}, {0x55, -10000, 10000, "wizard"}, {0x56, -10000, 10000, "wizard"},
    {0x58, 0, 10000, "wizard"},  {0x59, 0, 10000, "wizard"},   {0x5A, 0, 1000, "wizard"},
    {0x5C, 10, 100, "wizard"},   {0x5D, 0, 1, "wizard"},       {0x74, -10000, 10000, "wizard"},
    {0x75, -10000, 10000, "wizard"}, {0x76, -10000, 10000, "wizard"}, {0x77, -10000, 10000, "wizard"},
    {0x10, 1, 2000, "estimate"}, {0x11, 1, 3500, "estimate"},  {0x12, 1, 1000, "estimate"},
    {0x14, 25, 2500, "estimate"}, {0x20, 0, 10000, "estimate"},
    {0x00, 1, 255, "station"},   {0x02, 0, 8, "control mode"}, {0x1F, 0, 14, "model code"},
};

// The page's built-in tables for model groups 8 to 35.
const std::set<int> kHiddenInPosition =
    numbers("00 05-06 0B 0D-0F 17 1F 21-26 29 2C-2F 36-3F 49 50-56 58-5D 5F 62 6D-7F");
const std::set<int> kHiddenInVelocity =
    numbers("00 0B 0D-10 15-18 1F 21-26 29 2C-2F 31-35 3A-43 46-4D 5B-5D 5F-60 63-65 6D-73 78-7F");
const std::set<int> kHiddenInTorque =
    numbers("00 03 05 0B 0D-10 15-18 1F 21-26 29 2B-2F 31-39 3E-43 46-4D 51 53-55 58-5A 5F-60 63-65 6D-7F");
const std::set<int> kUnusedFirstGeneration = numbers("00 0B 0D 0E 0F 17 1F 21-26 29 2C-2F 3E 3F 49 5F 6D-73 78-7F");
const std::set<int> kUnusedLaterGenerations = numbers("00 0B 0D 0E 0F 17 1F 23 24 26 2B-2F 3E 3F 49 6D-73 78-7F");
const std::set<int> kRestartMarked = numbers("01 02 04 0C 40 41 42 44 45 48 4E 4F 6C");
const std::set<int> kAutoTuneLocked = numbers("10 11 12 13 14 15 16 18 19 1A 1B 1C 20 30");

std::string where(const Model& m, int parameter)
{
    char text[32];
    std::snprintf(text, sizeof text, " Pr.%02X", parameter);
    return m.name + text;
}

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
    }
    Model found;
    EXPECT_TRUE(ParameterCatalogue::findModel("vr-a02", found));
    EXPECT_EQ(found.name, "Vr_A02");
    EXPECT_FALSE(ParameterCatalogue::findModel("Vr_005", found));
}

TEST(ParameterCatalogue, EveryFactoryValueLiesInsideEveryStatedRange)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        for (const auto& p : m.parameters) {
            EXPECT_LE(p.minimum, p.factory) << where(m, p.number);
            EXPECT_LE(p.factory, p.maximum) << where(m, p.number);
        }
        for (const Range& r : kStatedRanges) {
            const auto& p = m.parameters[r.parameter];
            EXPECT_GE(p.factory, r.minimum) << where(m, r.parameter) << " " << r.source;
            EXPECT_LE(p.factory, r.maximum) << where(m, r.parameter) << " " << r.source;
            // What a wizard or the estimate may send, the page and the drive accept.
            EXPECT_LE(p.minimum, r.minimum) << where(m, r.parameter) << " " << r.source;
            EXPECT_GE(p.maximum, r.maximum) << where(m, r.parameter) << " " << r.source;
            // The same range, except that the drive also takes 1600 for Pr.28
            // (second notch off), the value a converted file brings.
            const int maximum = r.parameter == 0x28 ? 1600 : r.maximum;
            EXPECT_TRUE(p.minimum == r.minimum && p.maximum == maximum) << where(m, r.parameter) << " " << r.source;
        }
    }
}

TEST(ParameterCatalogue, FlagsAgreeWithTheBuiltInPageTables)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        const std::set<int>& unused = m.driveClass == 1 ? kUnusedFirstGeneration : kUnusedLaterGenerations;
        for (const auto& p : m.parameters) {
            const int n = p.number;
            const uint8_t bits = (kHiddenInPosition.count(n) ? 0 : 1) | (kHiddenInVelocity.count(n) ? 0 : 2) |
                                 (kHiddenInTorque.count(n) ? 0 : 4);
            EXPECT_EQ(p.modeBits, bits) << where(m, n);
            EXPECT_EQ(p.unused, unused.count(n) == 1) << where(m, n);
            EXPECT_EQ(p.restart, kRestartMarked.count(n) == 1) << where(m, n);
            EXPECT_EQ(p.autoTuneLocked, kAutoTuneLocked.count(n) == 1) << where(m, n);
            EXPECT_EQ(p.number, n);
        }
    }
}

TEST(ParameterCatalogue, FirstGenerationLacksTheLaterFeatures)
{
    Model first, later;
    ASSERT_TRUE(ParameterCatalogue::findModel("Vr_101", first));
    ASSERT_TRUE(ParameterCatalogue::findModel("Vr_102", later));
    for (int n : {0x21, 0x22, 0x25, 0x29, 0x5F}) {
        EXPECT_TRUE(first.parameters[n].unused) << where(first, n);
        EXPECT_FALSE(later.parameters[n].unused) << where(later, n);
        EXPECT_STRNE(first.parameters[n].help, later.parameters[n].help) << n;
    }
    EXPECT_FALSE(first.parameters[0x2B].unused);
    EXPECT_TRUE(later.parameters[0x2B].unused);
}

// The drive: factory values are the catalogue's (station and control mode
// come from its options), and it takes exactly the catalogue's range.
TEST(ParameterCatalogue, DriveStartsAtTheFactoryValuesAndRefusesWhatLiesOutside)
{
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const Model m = ParameterCatalogue::model(i);
        const std::string code = m.name.substr(0, 2) + "-" + m.name.substr(3);  // as typed: "Vr-006"
        const auto values = drivesim::ParameterTable::factoryValues(code, 7, 3, m.parameters[0x1F].factory);
        for (const auto& p : m.parameters) {
            const int expected = p.number == 0 ? 7 : p.number == 2 ? 3 : p.factory;
            EXPECT_EQ(values[p.number], expected) << where(m, p.number);
            EXPECT_TRUE(drivesim::ParameterTable::accepts(code, p.number, values[p.number])) << where(m, p.number);
            EXPECT_TRUE(drivesim::ParameterTable::accepts(code, p.number, p.minimum)) << where(m, p.number);
            EXPECT_TRUE(drivesim::ParameterTable::accepts(code, p.number, p.maximum)) << where(m, p.number);
            if (p.minimum > -32768) {
                EXPECT_FALSE(drivesim::ParameterTable::accepts(code, p.number, p.minimum - 1)) << where(m, p.number);
            }
            if (p.maximum < 32767) {
                EXPECT_FALSE(drivesim::ParameterTable::accepts(code, p.number, p.maximum + 1)) << where(m, p.number);
            }
        }
    }
    // A model the catalogue does not list is a current-generation drive.
    const auto older = drivesim::ParameterTable::factoryValues("vr_003", 1, 0, 1);
    EXPECT_EQ(older[0x11], 36);
    EXPECT_EQ(older[0x1F], 1);
    EXPECT_FALSE(drivesim::ParameterTable::accepts("vr_003", 0x11, 3501));
}

}  // namespace
