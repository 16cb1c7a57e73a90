#include "app/CToolBoxView.h"

#include "app/CMainFrame.h"
#include "app/CQDDToolsDoc.h"
#include "app/DriveLinkBridge.h"
#include "app/ShellState.h"
#include "tables/DriveType.h"
#include "texts/LoadText.h"
#include "platform/UserPrompt.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <ctime>

namespace {
const int kButtonIds[kToolBoxButtonCount] = {2023, 2037, 2036, 2089, 2105, 2133, 2024};
int onlineFlag()
{
    auto& bridge = LinkBridge();
    return bridge.onlineFlag ? bridge.onlineFlag() : 0;
}
}  // namespace

CToolBoxView::CToolBoxView(CQDDToolsDoc* doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setObjectName("CToolBoxView");
    auto* outer = new QVBoxLayout(this);
    auto* group = new QGroupBox(this);
    outer->addWidget(group);
    auto* layout = new QVBoxLayout(group);
    for (int i = 0; i < kToolBoxButtonCount; ++i) {
        const auto b = static_cast<ToolBoxButton>(i);
        buttons_[i] = new QPushButton(QString::fromStdString(LoadText(ToolBoxButtonTextId(b))), group);
        buttons_[i]->setObjectName(QString("button%1").arg(kButtonIds[i]));
        buttons_[i]->setMinimumWidth(200);
        layout->addWidget(buttons_[i]);
        connect(buttons_[i], &QPushButton::clicked, this, [this, b] { onButton(b); });
    }
    applyRules();
}

void CToolBoxView::applyRules()
{
    const ToolBoxLayout rules = ToolBoxLayoutFor(onlineFlag(), CurrentDriveType().driveClass);
    for (int i = 0; i < kToolBoxButtonCount; ++i) {
        buttons_[i]->setEnabled(rules.buttons[i].enabled);
        buttons_[i]->setVisible(rules.buttons[i].visible);
    }
}

void CToolBoxView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    applyRules();
    // Off line there is no port to ask: skip the read instead of waiting out its retries.
    int mode = 0;
    auto& bridge = LinkBridge();
    if (onlineFlag() == 1 && bridge.readControlMode && bridge.readControlMode(mode))
        Shell().currentControlMode = mode & 0xFF;
}

void CToolBoxView::openParameterSetupChecked()
{
    switch (ParameterOpeningFor(onlineFlag(), CurrentDriveType().unlistedModel)) {
    case ParameterOpening::OpenNow:
        doc_->OpenParameterView();
        break;
    case ParameterOpening::VerifyModelFirst: {
        auto& bridge = LinkBridge();
        if (bridge.verifyDriveModel && bridge.verifyDriveModel(0) != 0)
            doc_->OpenParameterView();
        break;
    }
    case ParameterOpening::Refuse:
        break;
    }
}

void CToolBoxView::onButton(ToolBoxButton b)
{
    switch (b) {
    case ToolBoxButton::ParameterSetup: openParameterSetupChecked(); break;
    case ToolBoxButton::AlarmList: doc_->OpenAlarmList(); break;
    case ToolBoxButton::IoMonitor: doc_->OpenIoMonitor(); break;
    case ToolBoxButton::Estimate: doc_->OpenEstimateView(); break;
    case ToolBoxButton::BlockDiagram: doc_->OpenDiagramForMode(); break;
    case ToolBoxButton::WaveScope: doc_->OpenScopeView(); break;
    case ToolBoxButton::Waystation: doc_->mainFrame()->runCommand(2024); break;
    }
}

QPushButton* CToolBoxView::buttonForMnemonic(const QKeyEvent& key) const
{
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier)
        return nullptr;
    const QKeySequence pressed(key.modifiers() | key.key());
    for (QPushButton* b : buttons_)
        if (b->isVisible() && b->isEnabled() && QKeySequence::mnemonic(b->text()) == pressed)
            return b;
    return nullptr;
}

// While the tool box has the focus its underlined letters win over the menu
// bar's: Alt+W is "Wave Scope" here, not the Windows menu; elsewhere the menu
// keeps them.
bool CToolBoxView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && buttonForMnemonic(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void CToolBoxView::keyPressEvent(QKeyEvent* event)
{
    if (QPushButton* b = buttonForMnemonic(*event)) {
        b->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CToolBoxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    char stamp[64];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%y-%m-%d   %H:%M:%S", &local);
    platform::userPrompt().messageBox(std::string("20") + stamp, ">_<");
}
