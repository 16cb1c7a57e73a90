#include "tables/ModelSelectionList.h"

#include "tables/DriveModelTable.h"

namespace {
constexpr int kFirstSelectableVrGroup = 8;
constexpr int kQmRow = kVrModelCount - kFirstSelectableVrGroup;  // 28
constexpr int kFirstZtRow = kQmRow + kQmModelCount;              // 29
}  // namespace

bool ModelOfSelectionRow(int row, int& family, int& group)
{
    if (row < 0 || row >= kModelSelectionRowCount)
        return false;
    if (row < kQmRow) {
        family = FamilyVr;
        group = row + kFirstSelectableVrGroup;
    } else if (row < kFirstZtRow) {
        family = FamilyQm;
        group = row - kQmRow;
    } else {
        family = FamilyZt;
        group = row - kFirstZtRow;
    }
    return true;
}

std::string ModelSelectionRowName(int row)
{
    int family = 0, group = 0;
    if (!ModelOfSelectionRow(row, family, group))
        return {};
    return ModelName(family, group);
}

int SelectionRowOfModel(int family, int group)
{
    for (int row = 0; row < kModelSelectionRowCount; ++row) {
        int f = 0, g = 0;
        ModelOfSelectionRow(row, f, g);
        if (f == family && g == group)
            return row;
    }
    return kNoModelRowChosen;
}

void ApplyModelSelection(DriveType& type, int row)
{
    int family = 0, group = 0;
    if (!ModelOfSelectionRow(row, family, group)) {
        type.driveClass = 0;
        return;
    }
    type.setModel(family, group);
    type.driveClass = DriveClassOfModel(family, group);
}
