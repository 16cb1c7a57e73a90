#include "tables/DriveType.h"

#include "tables/DriveModelTable.h"

int DriveType::group() const
{
    switch (family) {
    case FamilyQm: return qmGroup;
    case FamilyZt: return ztGroup;
    default: return vrGroup;
    }
}

void DriveType::setModel(int newFamily, int newGroup)
{
    family = newFamily;
    switch (newFamily) {
    case FamilyQm: qmGroup = newGroup; break;
    case FamilyZt: ztGroup = newGroup; break;
    default: vrGroup = newGroup; break;
    }
}

std::string DriveType::modelName() const
{
    return ModelName(family, group());
}

DriveType& CurrentDriveType()
{
    static DriveType instance;
    return instance;
}
