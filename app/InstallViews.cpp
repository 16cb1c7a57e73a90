#include "app/InstallViews.h"

#include "app/CQDDToolsViewDlg.h"
#include "app/ParameterValueText.h"
#include "app/ShellState.h"
#include "app/ViewRegistry.h"
#include "link/LinkConnection.h"
#include "link/LinkState.h"
#include "link/ui/CSetComPortDlg.h"
#include "monitor/ui/CAlarmListView.h"
#include "monitor/ui/CIO_Monitor.h"
#include "param/ui/CSOM_View.h"
#include "param/ui/ControlModeChoice.h"
#include "scope/ui/CWaveGdiView.h"
#include "tables/DriveType.h"
#include "tuning/ui/CEstimateII_View.h"
#include "wizard/ui/CPWizardView.h"
#include "wizard/ui/CTWizardView.h"
#include "wizard/ui/CVWizardView.h"

#include <QApplication>

namespace {

// The parameter view asks for a new value with the shell's value dialog.
bool askParameterValue(int parameter, const std::string& definition, int32_t current, int32_t& newValue)
{
    ParameterDialogIo& io = ParameterDialogExchange();
    io.parameter = static_cast<uint8_t>(parameter);
    io.definition = definition;
    io.currentValue = current;
    CQDDToolsViewDlg dialog(QApplication::activeWindow());
    dialog.exec();
    if (io.cancelled)
        return false;
    newValue = io.newValue;
    return true;
}

}  // namespace

void InstallViews()
{
    ViewRegistry::setFactory(ViewClass::ParameterSetting, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        const ShellState& shell = Shell();
        const ParamEnvironment environment{shell.workingDirectory, shell.engineerMode != 0,
                                           shell.settings.repairPr1F != 0};
        auto* view = new CSOM_View(environment, askParameterValue, parent);
        view->openPage();
        return view;
    });
    // After the model choice: the page mode and, off line, the page's start.
    CSetComPortDlg::setControlModeDialogHook([](QWidget* parent) { return RunControlModeChoice(parent); });

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
    ViewRegistry::setFactory(ViewClass::PositionDiagram, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        return new CPWizardView(Shell().workingDirectory, parent);
    });
    ViewRegistry::setFactory(ViewClass::VelocityDiagram, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        return new CVWizardView(Shell().workingDirectory, parent);
    });
    ViewRegistry::setFactory(ViewClass::TorqueDiagram, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        return new CTWizardView(Shell().workingDirectory, parent);
    });
    ViewRegistry::setFactory(ViewClass::Scope, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        return new CWaveGdiView(parent);
    });
}
