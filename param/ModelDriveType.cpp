#include "param/ModelDriveType.h"

#include "tables/DriveModelTable.h"
#include "tables/ModelSelectionList.h"

bool DriveTypeOfModel(const std::string& name, DriveType& drive)
{
    const ModelCodeClass code = ClassifyModelCode(name);
    const int row = SelectionRowOfModel(code.family, code.group);
    if (row == kNoModelRowChosen)
        return false;
    ApplyModelSelection(drive, row);
    return true;
}
