#include "app/CQDDToolsDoc.h"

#include "app/CTalkDlg.h"
#include "app/DriveLinkBridge.h"
#include "app/ShellState.h"
#include "app/WindowCatalogue.h"
#include "texts/LoadText.h"
#include "platform/UserPrompt.h"

CQDDToolsDoc::CQDDToolsDoc(CMainFrame* mainFrame, const std::string& title)
    : mainFrame_(mainFrame), title_(title)
{
}

CQDDToolsDoc::~CQDDToolsDoc()
{
    OpenWindows().documentClosed(title_);
}

int CQDDToolsDoc::openKind(Slot slot, const char* key, ViewClass viewClass)
{
    // A fresh template each time, so every kind but the tool box is number 1.
    slots_[slot] = std::make_unique<CMultiDocTemplate_qd>(mainFrame_, key, viewClass);
    slots_[slot]->openNewDocument();
    return 1;
}

int CQDDToolsDoc::OpenParameterView()
{
    return openKind(SlotParameter, "QDDTools", ViewClass::ParameterSetting);
}
int CQDDToolsDoc::OpenIoMonitor() { return openKind(SlotIo, "IO Monitor", ViewClass::IoMonitor); }
int CQDDToolsDoc::OpenAlarmList() { return openKind(SlotAlarm, "AlarmList", ViewClass::AlarmList); }
int CQDDToolsDoc::OpenEstimateView()
{
    return openKind(SlotEstimate, "EstimateView", ViewClass::Estimate);
}
int CQDDToolsDoc::OpenPositionDiagram()
{
    return openKind(SlotPosition, "WizardView", ViewClass::PositionDiagram);
}
int CQDDToolsDoc::OpenVelocityDiagram()
{
    return openKind(SlotVelocity, "WizardView", ViewClass::VelocityDiagram);
}
int CQDDToolsDoc::OpenTorqueDiagram()
{
    return openKind(SlotTorque, "WizardView", ViewClass::TorqueDiagram);
}
int CQDDToolsDoc::OpenScopeView() { return openKind(SlotScope, "WaveGdiView", ViewClass::Scope); }

int CQDDToolsDoc::openDiagram(DiagramKind kind)
{
    switch (kind) {
    case DiagramKind::Position: return OpenPositionDiagram();
    case DiagramKind::Velocity: return OpenVelocityDiagram();
    case DiagramKind::Torque: return OpenTorqueDiagram();
    }
    return 0;
}

void CQDDToolsDoc::OpenDiagramForMode()
{
    int mode = 0;
    auto& bridge = LinkBridge();
    if (!bridge.readControlMode || !bridge.readControlMode(mode)) {
        platform::userPrompt().messageBox(LoadText(318), "");
        return;
    }
    Shell().currentControlMode = mode & 0xFF;
    OpenDiagramFor(Shell().currentControlMode);
}

void CQDDToolsDoc::OpenDiagramFor(int controlMode)
{
    const DiagramOptions options = DiagramOptionsForMode(controlMode);
    if (options.count == 0) {
        platform::userPrompt().messageBox(LoadText(467), "Warning");
        return;
    }
    if (options.count == 1) {
        openDiagram(options.options[0]);
        return;
    }
    const int chosen = CTalkDlg::ask(DiagramOptionTextId(options.options[0]),
                                     DiagramOptionTextId(options.options[1]));
    openDiagram(options.options[chosen == 1 ? 1 : 0]);
}

bool CQDDToolsDoc::runCommand(int commandId)
{
    switch (commandId) {
    case 32815: OpenAlarmList(); return true;
    case 32816: OpenIoMonitor(); return true;
    case 32824: OpenParameterView(); return true;
    case 32863: case 32865: case 32879: OpenEstimateView(); return true;
    case 32873: OpenDiagramForMode(); return true;
    case 32876: OpenScopeView(); return true;
    default: return false;
    }
}
