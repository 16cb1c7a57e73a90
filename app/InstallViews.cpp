#include "app/InstallViews.h"

#include "app/CQDDToolsViewDlg.h"
#include "app/ParameterValueText.h"
#include "app/ShellState.h"
#include "app/ViewRegistry.h"
#include "link/ui/CSetComPortDlg.h"
#include "param/ui/CSOM_View.h"
#include "param/ui/ControlModeChoice.h"

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
    ViewRegistry::setFactory(ViewClass::ParameterSetting, [](CQDDToolsDoc*, QWidget* parent) {
        const ShellState& shell = Shell();
        const ParamEnvironment environment{shell.workingDirectory, shell.engineerMode != 0,
                                           shell.settings.repairPr1F != 0};
        auto* view = new CSOM_View(environment, askParameterValue, parent);
        view->openPage();
        return view;
    });
    // After the model choice: the page mode and, off line, the page's start.
    CSetComPortDlg::setControlModeDialogHook([](QWidget* parent) { return RunControlModeChoice(parent); });
}
