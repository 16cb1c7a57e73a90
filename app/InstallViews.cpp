#include "app/InstallViews.h"

#include "app/ShellState.h"
#include "app/ViewRegistry.h"
#include "link/LinkConnection.h"
#include "link/LinkState.h"
#include "monitor/ui/CAlarmListView.h"
#include "monitor/ui/CIO_Monitor.h"
#include "tables/DriveType.h"
#include "tuning/ui/CEstimateII_View.h"

void InstallViews()
{
    ViewRegistry::setFactory(ViewClass::Estimate, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        EstimateViewContext context;
        context.online = linkState().online == 1;
        context.driveClass = CurrentDriveType().driveClass;
        return new CEstimateII_View(context, parent);
    });
    ViewRegistry::setFactory(ViewClass::AlarmList, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        return new CAlarmListView(parent);
    });
    ViewRegistry::setFactory(ViewClass::IoMonitor, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        return new CIO_Monitor(LinkModbus(), Shell().settings.ioMonitorIntervalMs, parent);
    });
}
