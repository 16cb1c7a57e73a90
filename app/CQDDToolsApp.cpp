#include "app/CQDDToolsApp.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CCoverDlg.h"
#include "app/CMainFrame.h"
#include "app/CMultiDocTemplate_qd.h"
#include "app/CToolBoxView.h"
#include "app/DriveLinkBridge.h"
#include "app/PluginDocTemplate.h"
#include "app/PluginLink.h"
#include "app/ShellState.h"
#include "texts/LoadText.h"
#include "platform/PortTable.h"
#include "platform/Ticks.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QScreen>
#include <QUrl>

CQDDToolsApp::CQDDToolsApp()
{
    ViewRegistry::setFactory(ViewClass::ToolBox, [](CQDDToolsDoc* doc, QWidget* parent) {
        return new CToolBoxView(doc, parent);
    });
}

CQDDToolsApp::~CQDDToolsApp()
{
    // Windows first: a plug-in view must not outlive its template.
    mainTemplate_.reset();
    mainFrame_.reset();
    plugin_.release();
}

std::string CQDDToolsApp::defaultPluginPath()
{
    return (QCoreApplication::applicationDirPath() + "/libWaypad.so").toStdString();
}

bool CQDDToolsApp::initInstance(const StartupOptions& options)
{
    // The framework's own per-user settings live under this name.
    QCoreApplication::setOrganizationName("ZEMA Automation");
    QCoreApplication::setApplicationName("Drivara");

    ShellState& shell = Shell();
    shell.workingDirectory =
        options.workingDirectory.empty() ? QDir::currentPath().toStdString() : options.workingDirectory;
    shell.settings = GlobalSettings::read(shell.preferencePath());
    shell.engineerMode = shell.settings.asksForEngineerMode() ? 1 : 0;
    // COM numbers may be mapped to devices in the same file.
    platform::PortTable::loadFromIni(shell.preferencePath());

    mainFrame_ = std::make_unique<CMainFrame>();
    mainFrame_->setApplicationCommandHandler([this](int id) { return onCommand(id); });
    mainFrame_->setBeforeCloseHandler([this] { saveAllModified(); });

    LoadLanguageFile(shell.pathOf("Language.lng"));
    mainFrame_->updateMenus();
    if (options.showMaximized) {
        // Without a window manager "maximised" means nothing: fill the screen.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            mainFrame_->setGeometry(screen->availableGeometry());
        mainFrame_->showMaximized();
    }
    else
        mainFrame_->show();

    if (options.showCover) {
        const int splash = options.coverTimeOverrideMs >= 0 ? options.coverTimeOverrideMs
                                                           : shell.settings.splashTimeMs;
        CCoverDlg cover(splash, mainFrame_.get());
        cover.exec();
        platform::sleepMs(100);
    }

    auto& bridge = LinkBridge();
    if (bridge.runConnectionStep)
        bridge.runConnectionStep();
    mainTemplate_ = std::make_unique<CMultiDocTemplate_qd>(mainFrame_.get(), "ToolBoxView",
                                                           ViewClass::ToolBox);
    mainTemplate_->openNewDocument();

    bindPlugin(options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath);
    return true;
}

void CQDDToolsApp::bindPlugin(const std::string& path)
{
    static PluginLinkRecord record;  // the plug-in reads it for the whole run
    record = PluginLinkState().bind();
    plugin_.bind(path, &record);
}

bool CQDDToolsApp::onCommand(int commandId)
{
    switch (commandId) {
    case 57665: mainFrame_->close(); return true;
    case 32805: reconnect(); return true;
    case 32803: openToolBox(); return true;
    case 2024: openPluginWindow(); return true;
    case 57664: {
        CAboutDlg about(mainFrame_.get());
        about.exec();
        return true;
    }
    case 57670: {
        // A missing help file is not reported.
        const QString help = QString::fromStdString(Shell().pathOf("DrivaraHelp.html"));
        if (QFileInfo::exists(help))
            QDesktopServices::openUrl(QUrl::fromLocalFile(help));
        return true;
    }
    default: return false;
    }
}

void CQDDToolsApp::openToolBox()
{
    mainTemplate_->openNewDocument();
}

void CQDDToolsApp::reconnect()
{
    auto& bridge = LinkBridge();
    // A running scope lets go of the port first: its worker must not read
    // the port that is about to close, nor the one that replaces it.
    if (bridge.stopScopeAcquisition)
        bridge.stopScopeAcquisition();
    if (bridge.forgetConnection)
        bridge.forgetConnection();
    // An adapter plugged in since start-up gets its number now.
    platform::PortTable::loadFromIni(Shell().preferencePath());
    platform::PortTable::rescan();
    if (bridge.runConnectionStep)
        bridge.runConnectionStep();
    // The tool boxes already open follow the new link and drive; a new one
    // opens only when none is left.
    bool toolBoxOpen = false;
    for (CChildFrame* frame : mainFrame_->childFrames())
        if (auto* toolBox = qobject_cast<CToolBoxView*>(frame->view())) {
            toolBox->applyRules();
            toolBoxOpen = true;
        }
    if (!toolBoxOpen)
        mainTemplate_->openNewDocument();
    mainFrame_->updateMenus();
}

void CQDDToolsApp::openPluginWindow()
{
    PluginDocTemplate* owner = plugin_.docTemplate();
    if (!owner)
        return;
    if (pluginFrame_) {
        if (pluginFrame_->isMinimized())
            pluginFrame_->showNormal();
        mainFrame_->mdiArea()->setActiveSubWindow(pluginFrame_);
        return;
    }
    auto* frame = new CChildFrame(nullptr, false);
    pluginFrame_ = frame;
    frame->setPluginTemplate(owner);
    frame->setWindowTitle(QString::fromStdString(owner->documentTitle()));
    frame->setView(owner->createView(frame));
    mainFrame_->addChildFrame(frame, false);
}

void CQDDToolsApp::saveAllModified()
{
    // Events keep flowing during the wait (the plug-in asks its question on
    // this thread); a second close request meanwhile must not wait again.
    static bool waiting = false;
    if (waiting)
        return;
    waiting = true;
    WaitForPluginClose(PluginLinkState(), [] { QCoreApplication::processEvents(); });
    waiting = false;
}
