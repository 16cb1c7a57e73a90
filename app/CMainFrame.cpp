#include "app/CMainFrame.h"

#include "app/CChildFrame.h"
#include "app/CQDDToolsDoc.h"
#include "app/CToolBoxView.h"
#include "app/DriveLinkBridge.h"
#include "texts/QtText.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <algorithm>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), mdiArea_(new QMdiArea(this))
{
    setObjectName("CMainFrame");
    setWindowTitle("Drivara");
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { updateMenus(); });
    updateMenus();
}

CMainFrame::~CMainFrame()
{
    // The child windows outlive this part of the object: cut their signals.
    destroying_ = true;
    mdiArea_->disconnect(this);
    for (CChildFrame* frame : findChildren<CChildFrame*>())
        frame->disconnect(this);
}

void CMainFrame::setApplicationCommandHandler(std::function<bool(int)> handler)
{
    appCommands_ = std::move(handler);
}

void CMainFrame::addChildFrame(CChildFrame* frame, bool fitToView)
{
    mdiArea_->addSubWindow(frame);
    if (fitToView)
        frame->adjustSize();
    connect(frame, &QObject::destroyed, this, [this] { updateMenus(); });
    frame->show();
    mdiArea_->setActiveSubWindow(frame);
    updateMenus();
}

CChildFrame* CMainFrame::activeChildFrame() const
{
    return qobject_cast<CChildFrame*>(mdiArea_->activeSubWindow());
}

QList<CChildFrame*> CMainFrame::childFrames() const
{
    QList<CChildFrame*> frames;
    for (auto* window : mdiArea_->subWindowList())
        if (auto* frame = qobject_cast<CChildFrame*>(window))
            frames << frame;
    return frames;
}

QAction* CMainFrame::addCommand(QMenu* menu, int commandId, const QString& label)
{
    QAction* action = menu->addAction(label);
    action->setObjectName(QString("cmd%1").arg(commandId));
    action->setData(commandId);
    connect(action, &QAction::triggered, this, [this, commandId] { runCommand(commandId); });
    return action;
}

void CMainFrame::addHelpMenu()
{
    QMenu* help = menuBar()->addMenu(LoadQText(597));
    addCommand(help, 57670, LoadQText(279));
    addCommand(help, 57664, LoadQText(280));
}

void CMainFrame::buildMainMenu()
{
    QMenu* file = menuBar()->addMenu(LoadQText(592));
    addCommand(file, 57665, LoadQText(276));
    QMenu* setup = menuBar()->addMenu(LoadQText(593));
    addCommand(setup, 32805, LoadQText(277));
    addCommand(setup, 32803, LoadQText(278));
    addHelpMenu();
}

void CMainFrame::buildDocumentMenu(bool scope)
{
    QMenu* file = menuBar()->addMenu(LoadQText(592));
    addCommand(file, 57602, LoadQText(281));
    file->addSeparator();
    if (scope) {
        addCommand(file, 57609, LoadQText(57609));
        addCommand(file, 57607, LoadQText(57607))->setShortcut(QKeySequence::Print);
        file->addSeparator();
    }
    addCommand(file, 57665, LoadQText(276));

    QMenu* tools = menuBar()->addMenu(LoadQText(594));
    addCommand(tools, 32824, LoadQText(595));
    const bool online = LinkBridge().onlineFlag && LinkBridge().onlineFlag() == 1;
    addCommand(tools, 32815, LoadQText(282))->setEnabled(online);
    addCommand(tools, 32816, LoadQText(283))->setEnabled(online);
    addCommand(tools, 32863, LoadQText(284));
    addCommand(tools, 32873, LoadQText(285))->setEnabled(online);
    addCommand(tools, 32876, LoadQText(286));

    QMenu* windows = menuBar()->addMenu(LoadQText(596));
    addCommand(windows, 57650, LoadQText(293));
    addCommand(windows, 57651, LoadQText(294));
    addCommand(windows, 57649, LoadQText(295));
    addHelpMenu();
}

void CMainFrame::updateMenus()
{
    if (destroying_)
        return;
    // Old menus go later: this may run inside one of their actions.
    const auto oldMenus = menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    menuBar()->clear();
    for (QMenu* menu : oldMenus) {
        menu->setParent(nullptr);
        menu->deleteLater();
    }
    CChildFrame* active = activeChildFrame();
    if (!active)
        buildMainMenu();
    else
        buildDocumentMenu(active->showsScope());
}

QAction* CMainFrame::commandAction(int commandId) const
{
    return menuBar()->findChild<QAction*>(QString("cmd%1").arg(commandId));
}

void CMainFrame::runCommand(int commandId)
{
    if (appCommands_ && appCommands_(commandId))
        return;
    CChildFrame* active = activeChildFrame();
    switch (commandId) {
    case 57602:
        if (active)
            active->close();
        return;
    case 57650: mdiArea_->cascadeSubWindows(); return;
    case 57651: mdiArea_->tileSubWindows(); return;
    case 57649: arrangeIcons(); return;
    case 57607: case 57609:
        // The scope view prints; other views have nothing to print.
        if (active && active->view())
            QMetaObject::invokeMethod(active->view(),
                                      commandId == 57607 ? "filePrint" : "filePrintPreview");
        return;
    default: break;
    }
    if (!active || !active->document())
        return;
    // The tool box checks the drive before it opens the parameter page.
    if (commandId == 32824)
        if (auto* toolBox = qobject_cast<CToolBoxView*>(active->view())) {
            toolBox->openParameterSetupChecked();
            return;
        }
    active->document()->runCommand(commandId);
}

void CMainFrame::arrangeIcons()
{
    // Minimised windows in rows along the bottom edge, left to right, the
    // next row above; the other windows stay where they are.
    const QRect area = mdiArea_->viewport()->rect();
    int x = 0;
    int bottom = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    CChildFrame* active = activeChildFrame();
    if (active && active->showsScope())
        StopScopeBeforeClosing();
    if (beforeClose_)
        beforeClose_();
    // The plug-in answered through its close handshake just now: its
    // windows close without asking it a second time.
    for (CChildFrame* frame : childFrames())
        if (frame->showsPlugin())
            frame->closeAnsweredPlugin();
    mdiArea_->closeAllSubWindows();
    if (!mdiArea_->subWindowList().isEmpty()) {
        event->ignore();  // a window refused to close
        return;
    }
    QMainWindow::closeEvent(event);
}
