// Headless flows of the shell: start-up, engineer mode, language file,
// window rules, tool box, menus, the parameter-value dialog and the exit wait.

#include "app/CChildFrame.h"
#include "app/CCoverDlg.h"
#include "app/CMainFrame.h"
#include "app/CQDDToolsApp.h"
#include "app/CQDDToolsDoc.h"
#include "app/CQDDToolsViewDlg.h"
#include "app/CToolBoxView.h"
#include "app/DriveLinkBridge.h"
#include "app/ParameterValueText.h"
#include "app/PluginLink.h"
#include "app/ShellState.h"
#include "app/WindowCatalogue.h"
#include "tables/DriveType.h"
#include "texts/LoadText.h"
#include "platform/ScriptedUserPrompt.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

class AppFlowTest : public QObject {
    Q_OBJECT

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
    std::unique_ptr<QTemporaryDir> dir;
    int online = 0;
    int connectionSteps = 0;

    void writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(dir->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readFile(const QString& name)
    {
        QFile file(dir->filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The stand-in for Waypad: a plain view and the plug-in's close handshake.
    static std::string standInPlugin() { return TEST_PLUGIN_DIR "/libTestPluginStandIn.so"; }
    std::unique_ptr<CQDDToolsApp> start(bool cover = false, std::string plugin = {})
    {
        auto app = std::make_unique<CQDDToolsApp>();
        StartupOptions options;
        options.workingDirectory = dir->path().toStdString();
        options.pluginPath = plugin.empty() ? dir->filePath("libWaypad.so").toStdString() : plugin;
        options.showCover = cover;
        options.coverTimeOverrideMs = 1;
        options.showMaximized = false;
        return app->initInstance(options) ? std::move(app) : nullptr;
    }
    QList<CChildFrame*> framesTitled(CQDDToolsApp& app, const QString& title)
    {
        QList<CChildFrame*> found;
        for (CChildFrame* frame : app.mainFrame()->childFrames())
            if (frame->windowTitle() == title)
                found << frame;
        return found;
    }
    CChildFrame* toolBoxFrame(CQDDToolsApp& app) { return framesTitled(app, "Toolbox").value(0); }
    // The tool box shows exactly what the rules give for this state.
    void expectToolBoxFollowsRules(CToolBoxView* view, int onlineFlag, int driveClass)
    {
        const ToolBoxLayout layout = ToolBoxLayoutFor(onlineFlag, driveClass);
        for (int b = 0; b < kToolBoxButtonCount; ++b) {
            QCOMPARE(!view->button(ToolBoxButton(b))->isHidden(), layout.buttons[b].visible);
            QCOMPARE(view->button(ToolBoxButton(b))->isEnabled(), layout.buttons[b].enabled);
        }
    }

private slots:
    void init()
    {
        prompt.clear();
        dir = std::make_unique<QTemporaryDir>();
        OpenWindows().reset();
        ClearLanguageTable();
        Shell() = ShellState();
        CurrentDriveType() = DriveType();
        online = 0;
        connectionSteps = 0;
        auto& bridge = LinkBridge();
        bridge.onlineFlag = [this] { return online; };
        bridge.readControlMode = [this](int& mode) { mode = 0; return online == 1; };
        bridge.verifyDriveModel = [](int) { return 1; };
        bridge.runConnectionStep = [this] { ++connectionSteps; };
        bridge.forgetConnection = [this] { online = 0; };
        bridge.stopScopeAcquisition = [] { return false; };
    }
    void cleanup() { dir.reset(); }

    // Without settings or plug-in file: defaults, one message, nothing written; exit waits for the plug-in.
    void startsWithoutSettingsFileAndExitWaitsForThePlugin()
    {
        auto app = start();
        QVERIFY(app);
        QCOMPARE(Shell().workingDirectory, dir->path().toStdString());
        QCOMPARE(Shell().settings.repairPr1F, 1);
        QCOMPARE(Shell().engineerMode, 0);
        QCOMPARE(connectionSteps, 1);
        QCOMPARE(framesTitled(*app, "Toolbox").size(), 1);
        // Without the plug-in file: told once, and the program goes on.
        QCOMPARE(prompt.messageTexts(), std::vector<std::string>{"Loading libWaypad.so failed."});
        QVERIFY(!QFile::exists(dir->filePath("Preference.ini")));  // nothing written

        // Exit waits for the plug-in's answer to its close request, within bounds.
        PluginLinkVariables& vars = PluginLinkState();
        vars.statusWord = kPluginServoOnBit;
        std::thread plugin([&vars] {
            for (int i = 0; i < 500 && vars.closeRequest.load() != 1; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            vars.statusWord |= kPluginCloseAnsweredBit;
        });
        QElapsedTimer timer;
        timer.start();
        app->mainFrame()->close();
        plugin.join();
        QCOMPARE(vars.closeRequest.load(), 1);
        QVERIFY(timer.elapsed() >= 150);
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(app->mainFrame()->childFrames().isEmpty());
        vars.statusWord = 0;
        vars.closeRequest = 0;
    }

    // Settings and language file are read, engineer mode Yes keeps the file byte for byte.
    void startsWithSettingsAndLanguageFileAndEngineerModeYesKeepsIt()
    {
        const QByteArray settings = "[Global]\r\nInnerParm=731\r\nRepairPr1F=0\r\niSplashTime=500\r\n; keep me\r\n";
        writeFile("Preference.ini", settings);
        writeFile("Language.lng", "[StringTable]\n276=Leave Drivara(&X)\n");
        prompt.queueAnswer(platform::PromptYes);
        auto app = start(true);  // the cover runs for 1 ms, then asks
        QVERIFY(app && app->mainFrame()->commandAction(57665));
        QCOMPARE(app->mainFrame()->commandAction(57665)->text(), QString("Leave Drivara(&X)"));
        QCOMPARE(Shell().settings.repairPr1F, 0);
        QCOMPARE(Shell().settings.splashTimeMs, 500);
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Using engineer mode?"));
        QVERIFY(prompt.shown().at(0).buttons == platform::PromptButtons::YesNo);
        QCOMPARE(Shell().engineerMode, 1);
        QCOMPARE(readFile("Preference.ini"), settings);
    }

    // Escape on the cover is no way round the question; No writes 0.
    void engineerModeEscapeStillAsksAndNoWritesZero()
    {
        writeFile("Preference.ini", "[Global]\nInnerParm=731\niSplashTime=7\n");
        Shell().workingDirectory = dir->path().toStdString();
        Shell().engineerMode = 1;
        CCoverDlg cover(60000);
        cover.show();
        QVERIFY(cover.showsEngineerPicture());
        prompt.queueAnswer(platform::PromptNo);
        QTest::keyClick(&cover, Qt::Key_Escape);
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Using engineer mode?"));
        QCOMPARE(Shell().engineerMode, 0);
        QVERIFY(!cover.showsEngineerPicture());
        const QByteArray written = readFile("Preference.ini");
        QVERIFY(written.contains("InnerParm=0") && written.contains("iSplashTime=7"));
        QTest::keyClick(&cover, Qt::Key_Escape);  // now it closes without asking again
        QCOMPARE(cover.result(), int(QDialog::Accepted));
        QCOMPARE(prompt.shown().size(), size_t(1));
    }

    // Tool box and menus follow the link and the drive class; reconnecting keeps one tool box;
    // windows open once and the tenth tool box is refused.
    void toolBoxMenusAndWindowRulesFollowDriveClassAndLink()
    {
        auto app = start();
        CMainFrame* frame = app->mainFrame();
        auto* view = qobject_cast<CToolBoxView*>(toolBoxFrame(*app)->view());
        expectToolBoxFollowsRules(view, 0, 0);
        QVERIFY(frame->commandAction(32824)->isEnabled());
        for (int flag : {0, 1}) {
            online = flag;
            frame->updateMenus();
            for (int command : {32815, 32816, 32873})
                QCOMPARE(frame->commandAction(command)->isEnabled(), flag == 1);
        }
        for (int driveClass : {2, 3}) {
            CurrentDriveType().driveClass = driveClass;
            view->applyRules();
            expectToolBoxFollowsRules(view, 1, driveClass);
        }
        app->reconnect();  // goes off line
        QCOMPARE(connectionSteps, 2);
        QCOMPARE(framesTitled(*app, "Toolbox").size(), 1);
        expectToolBoxFollowsRules(view, 0, 3);

        // A second alarm list is refused with a warning; a tenth tool box with an error.
        online = 1;
        prompt.clear();
        toolBoxFrame(*app)->document()->OpenAlarmList();
        toolBoxFrame(*app)->document()->OpenAlarmList();
        QCOMPARE(framesTitled(*app, "Alarm List Table").size(), 1);
        QCOMPARE(prompt.countMessages("The window was already opened!"), 1);
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Warning"));
        prompt.clear();
        for (int opened = 1; opened < 9; ++opened) {
            delete framesTitled(*app, "Toolbox").first();
            app->openToolBox();
            QCOMPARE(framesTitled(*app, "Toolbox").size(), 1);
        }
        QCOMPARE(app->mainTemplate()->runningNumber(), 9);
        QVERIFY(prompt.shown().empty());
        delete framesTitled(*app, "Toolbox").first();
        app->openToolBox();
        QCOMPARE(framesTitled(*app, "Toolbox").size(), 0);
        QCOMPARE(prompt.countMessages("The view window was over follow, please restart software!"), 1);
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Error"));
    }

    // "Arrange Icons" lines up the minimised windows and leaves the others where they are.
    void arrangeIconsMovesOnlyMinimisedWindows()
    {
        auto app = start();
        for (int i = 0; i < 3; ++i) {
            auto* frame = new CChildFrame(nullptr, false);
            frame->setView(new QLabel("view"));
            app->mainFrame()->addChildFrame(frame, false);
        }
        const QList<CChildFrame*> frames = app->mainFrame()->childFrames();
        QCOMPARE(frames.size(), 4);
        frames[0]->setGeometry(10, 20, 300, 200);
        frames[2]->setGeometry(50, 60, 250, 150);
        frames[1]->showMinimized();
        frames[3]->showMinimized();
        frames[1]->move(123, 45);
        frames[3]->move(7, 8);
        app->mainFrame()->mdiArea()->setActiveSubWindow(frames[0]);
        app->mainFrame()->runCommand(57649);
        QCOMPARE(frames[0]->geometry(), QRect(10, 20, 300, 200));
        QCOMPARE(frames[2]->geometry(), QRect(50, 60, 250, 150));
        const int bottom = app->mainFrame()->mdiArea()->viewport()->height();
        QCOMPARE(frames[1]->pos(), QPoint(0, bottom - frames[1]->height()));
        QCOMPARE(frames[3]->pos(), QPoint(frames[1]->width(), bottom - frames[3]->height()));
    }

    // The value dialog shows signed and unsigned values and parses what is typed; closing cancels.
    void parameterDialogConversions()
    {
        ParameterDialogIo& io = ParameterDialogExchange();
        io.parameter = 0x53;
        io.currentValue = 0x0000FFFF;
        {
            CQDDToolsViewDlg dialog;
            QCOMPARE(dialog.valueEdit()->text(), QString("-1"));
            QCOMPARE(dialog.findChild<QLabel*>("parameterNumber")->text(), QString("53"));
        }
        io.parameter = 0x10;
        QCOMPARE(CQDDToolsViewDlg().valueEdit()->text(), QString("65535"));
        for (auto [typed, value] : {std::pair{"12abc", 12}, {"-2", -2}, {"abc", 0}}) {
            CQDDToolsViewDlg dialog;
            dialog.valueEdit()->setText(typed);
            dialog.confirm();
            QCOMPARE(io.newValue, value);
            QCOMPARE(int(io.newValue16), value & 0xFFFF);
            QCOMPARE(io.cancelled, 0);
        }
        CQDDToolsViewDlg closed;
        closed.reject();  // closing the window is a cancel
        QCOMPARE(io.cancelled, 1);
    }

    // The plug-in's window opens once (a new request brings it forward); exit asks it once.
    void pluginWindowOpensOnceAndExitAsksOnce()
    {
        online = 1;
        CurrentDriveType().driveClass = 3;
        auto app = start(false, standInPlugin());
        QVERIFY(app && app->plugin().docTemplate());
        for (int request = 0; request < 3; ++request)
            app->mainFrame()->runCommand(2024);
        const QList<CChildFrame*> windows = framesTitled(*app, "Waystation1");
        QCOMPARE(windows.size(), 1);
        QCOMPARE(app->mainFrame()->childFrames().size(), 2);  // and the tool box
        windows[0]->showMinimized();
        app->mainFrame()->mdiArea()->setActiveSubWindow(toolBoxFrame(*app));
        app->mainFrame()->runCommand(2024);
        QCOMPARE(app->mainFrame()->activeChildFrame(), windows[0]);
        QVERIFY(!windows[0]->isMinimized());

        PluginLinkState().statusWord = kPluginServoOnBit;
        app->mainFrame()->close();
        QCOMPARE(PluginLinkState().closeRequest.load(), 1);
        QCOMPARE(prompt.countMessages("Would you like to keep Servo ON status after close window?"), 1);
        QVERIFY(app->mainFrame()->childFrames().isEmpty());
        PluginLinkState().statusWord = 0;
    }

    // With the tool box focused its underlined letters open its tools, though the menu bar has
    // the same letters (Alt+H: Waystation, not Help); elsewhere the menu bar keeps them.
    void toolBoxLettersWinWhileItHasTheFocus()
    {
        online = 1;
        CurrentDriveType().driveClass = 3;
        auto app = start(false, standInPlugin());
        CMainFrame* frame = app->mainFrame();
        frame->show();
        QApplication::setActiveWindow(frame);
        QVERIFY(QTest::qWaitForWindowActive(frame));
        auto* view = qobject_cast<CToolBoxView*>(toolBoxFrame(*app)->view());
        QPushButton* alarms = view->button(ToolBoxButton::AlarmList);
        alarms->setFocus();
        QTest::keyClick(alarms, Qt::Key_H, Qt::AltModifier);
        QCOMPARE(framesTitled(*app, "Waystation1").size(), 1);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        PluginLinkState().statusWord = 0;
    }
};

QTEST_MAIN(AppFlowTest)
#include "AppFlowTest.moc"
