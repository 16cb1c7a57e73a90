#include "param/BuiltInParameterTables.h"

#include "param/PageMode.h"

namespace {

// Hidden parameters per page mode 2, 3, 4 (position, velocity, torque).
struct HiddenRow {
    int firstGroup;
    int lastGroup;
    const char* hidden[3];
};

const char* const kVr003Velocity =
    "00 0B 0D-10 15-18 1F 21-29 2C-2F 31-35 3A-4F 5B-5D 5F-60 63-65 67 6D-7F";
const char* const kVrUt1Torque =
    "00 03 05 0B 0D-10 15-18 1F 21-26 29 2B-2F 31-39 3E-4F 51 53-55 58-5A 5F-60 63-65 67 6D-7F";

const HiddenRow kHidden[] = {
    {4, 4,
     {"00 05-06 0B 0D-0F 17 1F 21-29 2C-2F 36-3F 48-49 4C 4E-56 58-5D 5F 62 65 67 6D-7F",
      kVr003Velocity,
      "00 03 05 0B 0D-10 15-18 1F 21-29 2B-2F 31-39 3E-4F 51 53-55 58-5A 5F-60 63-65 67 6D-7F"}},
    {6, 6,
     {"00 05-06 0B 0D-0F 17 1F 21-26 29 2C-2F 36-3F 48-49 4C 4E-56 58-5D 5F 62 65 67 6D-7F",
      kVr003Velocity, kVrUt1Torque}},
    {7, 7,
     {"00 05-06 0B 0D-0F 17 1F 21-26 29 2C-2F 36-3F 49 4E-56 58-5D 5F 62 67 6D-7F",
      "00 0B 0D-10 15-18 1F 21-26 29 2C-2F 31-35 3A-4F 5B-5D 5F-60 63-65 67 6D-73 78-7F",
      kVrUt1Torque}},
    {8, 35,
     {"00 05-06 0B 0D-0F 17 1F 21-26 29 2C-2F 36-3F 49 50-56 58-5D 5F 62 6D-7F",
      "00 0B 0D-10 15-18 1F 21-26 29 2C-2F 31-35 3A-43 46-4D 5B-5D 5F-60 63-65 6D-73 78-7F",
      "00 03 05 0B 0D-10 15-18 1F 21-26 29 2B-2F 31-39 3E-43 46-4D 51 53-55 58-5A 5F-60 63-65 6D-7F"}},
};

struct UnusedRow {
    int firstGroup;
    int lastGroup;
    const char* unused;
};

const UnusedRow kUnused[] = {
    {4, 4, "00 0B 0D 0E 0F 17 1F 21-29 2C-2F 3E 3F 48 49 4C 4E 4F 5F 65 67 6D-7F"},
    {6, 6, "00 0B 0D 0E 0F 17 1F 21-26 29 2C-2F 3E 3F 48 49 4C 4E 4F 5F 65 67 6D-7F"},
    {7, 7, "00 0B 0D 0E 0F 17 1F 21-26 29 2C-2F 3E 3F 49 4E 4F 5F 67 6D-73 78-7F"},
    {8, 10, "00 0B 0D 0E 0F 17 1F 21-26 29 2C-2F 3E 3F 49 5F 6D-73 78-7F"},
    {11, 35, "00 0B 0D 0E 0F 17 1F 23 24 26 2B-2F 3E 3F 49 6D-73 78-7F"},
};

const HiddenRow* hiddenRowOf(int group)
{
    for (const HiddenRow& row : kHidden)
        if (group >= row.firstGroup && group <= row.lastGroup)
            return &row;
    return nullptr;
}

}  // namespace

bool HasBuiltInParameterTables(int vrGroup)
{
    return hiddenRowOf(vrGroup) != nullptr;
}

ParameterSet BuiltInVisibleParameters(int vrGroup, int pageMode)
{
    const HiddenRow* row = hiddenRowOf(vrGroup);
    if (!row || pageMode < PageModePosition || pageMode > PageModeTorque)
        return ParameterSet().set();
    return ~ParseParameterList(row->hidden[pageMode - PageModePosition]);
}

ParameterSet BuiltInUnusedParameters(int vrGroup)
{
    for (const UnusedRow& row : kUnused)
        if (vrGroup >= row.firstGroup && vrGroup <= row.lastGroup)
            return ParseParameterList(row.unused);
    return ParameterSet();
}

ParameterSet BuiltInRestartParameters()
{
    return ParseParameterList("01 02 04 0C 40 41 42 44 45 48 4E 4F 6C");
}

ParameterSet AutoTuningLockedParameters()
{
    return ParseParameterList("10 11 12 13 14 15 16 18 19 1A 1B 1C 20 30");
}
