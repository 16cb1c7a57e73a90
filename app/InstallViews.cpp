#include "app/InstallViews.h"

#include "app/ViewRegistry.h"

void InstallViews()
{
    // One registration per view family, e.g.
    // ViewRegistry::setFactory(ViewClass::AlarmList, [](CQDDToolsDoc*, QWidget* parent) { ... });
}
