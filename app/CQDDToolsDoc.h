#pragma once
// The document behind every window: it holds no file, only the templates
// through which it last opened each kind of window, and one value for the
// views' own use. Destroying it frees its window kind for reopening.

#include "app/CMultiDocTemplate_qd.h"
#include "app/DiagramDispatch.h"

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

class CMainFrame;

class CQDDToolsDoc : public QObject {
    Q_OBJECT
public:
    CQDDToolsDoc(CMainFrame* mainFrame, const std::string& title);
    ~CQDDToolsDoc() override;

    const std::string& title() const { return title_; }
    CMainFrame* mainFrame() const { return mainFrame_; }
    int32_t value() const { return value_; }
    void setValue(int32_t value) { value_ = value; }

    // Each returns 1 when the template could be made (the window itself may
    // still be refused by the open-window rule).
    int OpenParameterView();
    int OpenIoMonitor();
    int OpenAlarmList();
    int OpenEstimateView();
    int OpenPositionDiagram();
    int OpenVelocityDiagram();
    int OpenTorqueDiagram();
    int OpenScopeView();
    // Reads Pr.02 and opens the block diagram of that control mode.
    void OpenDiagramForMode();
    // Opens the diagram for a mode already known.
    void OpenDiagramFor(int controlMode);

    // Runs a document command (32815, 32816, 32824, 32863/5/79, 32873, 32876).
    bool runCommand(int commandId);

private:
    enum Slot { SlotParameter, SlotAlarm, SlotIo, SlotEstimate, SlotPosition, SlotVelocity,
                SlotTorque, SlotScope, SlotCount };
    int openKind(Slot slot, const char* key, ViewClass viewClass);
    int openDiagram(DiagramKind kind);

    CMainFrame* mainFrame_;
    std::string title_;
    int32_t value_ = 0;
    std::unique_ptr<CMultiDocTemplate_qd> slots_[SlotCount];
};
