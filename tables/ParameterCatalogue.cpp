#include "tables/ParameterCatalogue.h"

#include "tables/ParameterRows.h"

#include <cctype>
#include <initializer_list>
#include <string>

namespace {

using Parameters = ParameterCatalogue::Parameters;

struct ModelRow {
    const char* name;
    int driveClass;
    int pr1f;  // the value Pr.1F holds on this model
};

// The selectable models in the order of the model-selection list, with the
// drive class and Pr.1F of the model tables (the Qm model fixes none: 0).
const ModelRow kModels[] = {
    {"Vr_006", 1, 1},  {"Vr_101", 1, 2},  {"Vr_201", 1, 0},  {"Vr_007", 2, 1},
    {"Vr_102", 2, 2},  {"Vr_202", 2, 0},  {"Vr_301", 2, 3},  {"Vr_401", 2, 7},
    {"Vr_501", 2, 4},  {"Vr_601", 2, 8},  {"Vr_701", 2, 9},  {"Vr_801", 2, 12},
    {"Vr_901", 2, 11}, {"Vr_A01", 2, 10}, {"Vr_B01", 2, 13}, {"Vr_008", 3, 1},
    {"Vr_103", 3, 2},  {"Vr_203", 3, 0},  {"Vr_302", 3, 3},  {"Vr_402", 3, 7},
    {"Vr_502", 3, 4},  {"Vr_602", 3, 8},  {"Vr_702", 3, 9},  {"Vr_802", 3, 12},
    {"Vr_902", 3, 11}, {"Vr_A02", 3, 10}, {"Vr_B02", 3, 13}, {"Vr_C01", 3, 14},
    {"Qm_001", 4, 0},  {"Zt_001", 5, 1},  {"Zt_101", 5, 2},  {"Zt_201", 5, 0},
};
constexpr int kModelCount = sizeof(kModels) / sizeof(kModels[0]);

// The class every model not in the list is taken to be.
constexpr int kCurrentGenerationClass = 2;

Parameters baseTable()
{
    Parameters table{};
    for (int i = 0; i < parameterrows::kHalf; ++i) {
        table[i] = parameterrows::kFirstHalf[i];
        table[i + parameterrows::kHalf] = parameterrows::kSecondHalf[i];
    }
    return table;
}

void setUnused(Parameters& table, std::initializer_list<int> numbers, const char* help)
{
    for (int n : numbers) {
        table[n].unused = true;
        table[n].help = help;
    }
}

// The first generation (class 1) lacks real-time auto tuning, the adaptive
// notch, the width of the second notch and the second torque limit; it damps
// vibration with a damping filter instead.
void applyFirstGeneration(Parameters& table)
{
    setUnused(table, {0x21, 0x22}, "Not used by this model: it has no real-time auto tuning.");
    setUnused(table, {0x25}, "Not used by this model: it has no adaptive notch filter.");
    setUnused(table, {0x29}, "Not used by this model: its second notch has a fixed width.");
    setUnused(table, {0x5F}, "Not used by this model: it has one torque limit, Pr.5E.");
    table[0x2B].unused = false;
    table[0x2B].help =
        "Frequency of the damping filter, which keeps the end of a flexible machine from swinging "
        "when the motor stops. Set it to the swing frequency seen at the machine. 0 turns the "
        "filter off.";
}

Parameters tableFor(int driveClass, int pr1f)
{
    Parameters table = baseTable();
    if (driveClass == 1)
        applyFirstGeneration(table);
    table[ParameterCatalogue::kModelCode].factory = pr1f;
    return table;
}

// Upper case with "-", "_" and blank alike, so codes compare loosely.
std::string looseCode(const std::string& code)
{
    std::string out;
    for (char c : code)
        out += (c == '-' || c == '_') ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

int ParameterCatalogue::modelCount()
{
    return kModelCount;
}

ParameterCatalogue::Model ParameterCatalogue::model(int index)
{
    if (index < 0 || index >= kModelCount)
        index = 0;
    const ModelRow& row = kModels[index];
    return {row.name, row.driveClass, tableFor(row.driveClass, row.pr1f)};
}

bool ParameterCatalogue::findModel(const std::string& code, Model& out)
{
    const std::string wanted = looseCode(code);
    for (int i = 0; i < kModelCount; ++i) {
        if (looseCode(kModels[i].name) == wanted) {
            out = model(i);
            return true;
        }
    }
    return false;
}

ParameterCatalogue::Parameters ParameterCatalogue::currentGeneration(int pr1f)
{
    return tableFor(kCurrentGenerationClass, pr1f);
}
