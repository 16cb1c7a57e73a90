// Headless flows of the shell: start-up, engineer mode, language file,
// window rules, tool box, menus, the parameter-value dialog and the exit wait.

#include "app/CChildFrame.h"
#include "app/CCoverDlg.h"
#include "app/CMainFrame.h"
#include "app/CMultiDocTemplate_qd.h"
#include "app/CQDDToolsApp.h"
#include "app/CQDDToolsDoc.h"
#include "app/CQDDToolsViewDlg.h"
#include "app/CTalkDlg.h"
#include "app/CToolBoxView.h"
#include "app/DriveLinkBridge.h"
#include "app/ParameterValueText.h"
#include "app/PluginLink.h"
#include "app/ShellState.h"
#include "app/WindowCatalogue.h"
#include "app/tables/DriveType.h"
#include "app/texts/LoadText.h"
#include "platform/ScriptedUserPrompt.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <thread>

class AppFlowTest : public QObject {
    Q_OBJECT

private:
    platform::ScriptedUserPrompt prompt;
    std::unique_ptr<platform::ScopedUserPrompt> scoped;
    std::unique_ptr<QTemporaryDir> dir;
    int online = 0;
    int controlMode = 0;
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
    std::unique_ptr<CQDDToolsApp> start(bool cover = false)
    {
        auto app = std::make_unique<CQDDToolsApp>();
        StartupOptions options;
        options.workingDirectory = dir->path().toStdString();
        options.pluginPath = dir->filePath("libWaypad.so").toStdString();
        options.showCover = cover;
        options.coverTimeOverrideMs = 1;
        options.showMaximized = false;
        if (!app->initInstance(options))
            return nullptr;
        return app;
    }
    QList<CChildFrame*> framesTitled(CQDDToolsApp& app, const QString& title)
    {
        QList<CChildFrame*> found;
        for (CChildFrame* frame : app.mainFrame()->childFrames())
            if (frame->windowTitle() == title)
                found << frame;
        return found;
    }
    CChildFrame* toolBoxFrame(CQDDToolsApp& app)
    {
        for (CChildFrame* frame : app.mainFrame()->childFrames())
            if (qobject_cast<CToolBoxView*>(frame->view()))
                return frame;
        return nullptr;
    }
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
        scoped = std::make_unique<platform::ScopedUserPrompt>(prompt);
        prompt.clear();
        dir = std::make_unique<QTemporaryDir>();
        OpenWindows().reset();
        ClearLanguageTable();
        Shell() = ShellState();
        CurrentDriveType() = DriveType();
        online = 0;
        controlMode = 0;
        connectionSteps = 0;
        auto& bridge = LinkBridge();
        bridge.onlineFlag = [this] { return online; };
        bridge.readControlMode = [this](int& mode) { mode = controlMode; return online == 1; };
        bridge.verifyDriveModel = [](int) { return 1; };
        bridge.runConnectionStep = [this] { ++connectionSteps; };
        bridge.forgetConnection = [this] { online = 0; };
        bridge.stopScopeAcquisition = [] { return false; };
    }
    void cleanup()
    {
        scoped.reset();
        dir.reset();
    }

    void startsWithoutSettingsFile()
    {
        auto app = start();
        QVERIFY(app);
        QCOMPARE(Shell().workingDirectory, dir->path().toStdString());
        QCOMPARE(Shell().settings.splashTimeMs, 2000);
        QCOMPARE(Shell().settings.repairPr1F, 1);
        QCOMPARE(Shell().engineerMode, 0);
        QCOMPARE(connectionSteps, 1);
        QVERIFY(toolBoxFrame(*app));
        QCOMPARE(framesTitled(*app, "Toolbox").size(), 1);
        // Without the plug-in file: told once, and the program goes on.
        QCOMPARE(prompt.messageTexts(), std::vector<std::string>{"Loading libWaypad.so failed."});
        QVERIFY(!QFile::exists(dir->filePath("Preference.ini")));  // nothing written
    }

    void startsWithSettingsFileAndEngineerModeYesKeepsIt()
    {
        const QByteArray settings =
            "[Global]\r\nInnerParm=731\r\nRepairPr1F=0\r\niSplashTime=500\r\niIOM_IntervalTime=250\r\n; keep me\r\n";
        writeFile("Preference.ini", settings);
        prompt.queueAnswer(platform::PromptYes);
        auto app = start(true);  // the cover runs for 1 ms, then asks
        QVERIFY(app);
        QCOMPARE(Shell().settings.repairPr1F, 0);
        QCOMPARE(Shell().settings.splashTimeMs, 500);
        QCOMPARE(Shell().settings.ioMonitorIntervalMs, 250);
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Using engineer mode?"));
        QVERIFY(prompt.shown().at(0).buttons == platform::PromptButtons::YesNo);
        QCOMPARE(Shell().engineerMode, 1);
        QCOMPARE(readFile("Preference.ini"), settings);
    }

    void engineerModeNoWritesZero()
    {
        writeFile("Preference.ini", "[Global]\nInnerParm=731\niSplashTime=7\n");
        Shell().workingDirectory = dir->path().toStdString();
        Shell().engineerMode = 1;
        CCoverDlg cover(1);
        QVERIFY(cover.showsEngineerPicture());
        prompt.queueAnswer(platform::PromptNo);
        cover.onSplashTimeout();
        QCOMPARE(Shell().engineerMode, 0);
        QVERIFY(!cover.showsEngineerPicture());
        QVERIFY(cover.timer().isActive());      // the normal cover stays 2 s more
        QCOMPARE(cover.timer().interval(), 2000);
        const QByteArray written = readFile("Preference.ini");
        QVERIFY(written.contains("InnerParm=0") && written.contains("iSplashTime=7"));
        cover.onSplashTimeout();  // now it closes without asking again
        QCOMPARE(cover.result(), int(QDialog::Accepted));
        QCOMPARE(prompt.shown().size(), size_t(1));
    }

    void languageFileChangesExitText()
    {
        writeFile("Language.lng", "[StringTable]\n276=Leave Drivara(&X)\n277=\n");
        auto app = start();
        QVERIFY(app);
        QAction* exitItem = app->mainFrame()->commandAction(57665);
        QVERIFY(exitItem);
        QCOMPARE(exitItem->text(), QString("Leave Drivara(&X)"));
        // With no window open the main menu shows; an empty entry keeps the built-in text.
        app->mainFrame()->mdiArea()->closeAllSubWindows();
        QCoreApplication::processEvents();
        QVERIFY(app->mainFrame()->commandAction(32805));
        QCOMPARE(app->mainFrame()->commandAction(32805)->text(), QString("Connection...(&L)"));
        QCOMPARE(app->mainFrame()->commandAction(57665)->text(), QString("Leave Drivara(&X)"));
    }

    void alarmListOpensOnce()
    {
        online = 1;
        CurrentDriveType().driveClass = 2;
        auto app = start();
        CQDDToolsDoc* doc = toolBoxFrame(*app)->document();
        prompt.clear();
        doc->OpenAlarmList();
        doc->OpenAlarmList();
        QCOMPARE(framesTitled(*app, "Alarm List Table").size(), 1);
        QCOMPARE(prompt.countMessages("The window was already opened!"), 1);
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Warning"));
        // Closing it frees the kind again.
        delete framesTitled(*app, "Alarm List Table").first();
        doc->OpenAlarmList();
        QCOMPARE(framesTitled(*app, "Alarm List Table").size(), 1);
        QCOMPARE(prompt.shown().size(), size_t(1));
    }

    void tenthToolBoxIsRefused()
    {
        auto app = start();
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
        QCOMPARE(prompt.countMessages(
                     "The view window was over follow, please restart software!"), 1);
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Error"));
    }

    void toolBoxFollowsDriveClassAndLink()
    {
        online = 1;
        CurrentDriveType().driveClass = 2;
        auto app = start();
        auto* view = qobject_cast<CToolBoxView*>(toolBoxFrame(*app)->view());
        expectToolBoxFollowsRules(view, 1, 2);
        CurrentDriveType().driveClass = 3;
        view->applyRules();
        expectToolBoxFollowsRules(view, 1, 3);
        // Reconnecting off line: the open tool box follows, no second one appears.
        app->reconnect();
        QCOMPARE(connectionSteps, 2);
        QCOMPARE(framesTitled(*app, "Toolbox").size(), 1);
        expectToolBoxFollowsRules(view, 0, 3);
    }

    void menuItemsGreyOffLine()
    {
        auto app = start();
        CMainFrame* frame = app->mainFrame();
        for (int command : {32815, 32816, 32873}) {
            QVERIFY(frame->commandAction(command));
            QVERIFY(!frame->commandAction(command)->isEnabled());
        }
        QVERIFY(frame->commandAction(32824)->isEnabled());
        QVERIFY(frame->commandAction(32876)->isEnabled());
        QVERIFY(!frame->commandAction(57607));  // print only in scope windows

        online = 1;
        frame->updateMenus();
        for (int command : {32815, 32816, 32873})
            QVERIFY(frame->commandAction(command)->isEnabled());
        // The scope's menu adds printing.
        frame->runCommand(32876);
        QCOMPARE(framesTitled(*app, "Wave Gdi View").size(), 1);
        QVERIFY(frame->commandAction(57607));
        QVERIFY(frame->commandAction(57609));
    }

    void parameterMenuFromToolBoxChecksTheDrive()
    {
        online = 1;
        int verifications = 0;
        LinkBridge().verifyDriveModel = [&](int strict) {
            ++verifications;
            return strict == 0 ? 0 : 1;
        };
        auto app = start();
        app->mainFrame()->runCommand(32824);
        QCOMPARE(verifications, 1);
        QCOMPARE(framesTitled(*app, "Parameter Setting").size(), 0);
        CurrentDriveType().unlistedModel = 1;
        app->mainFrame()->runCommand(32824);
        QCOMPARE(verifications, 1);
        QCOMPARE(framesTitled(*app, "Parameter Setting").size(), 1);
    }

    void diagramFollowsControlMode()
    {
        online = 1;
        auto app = start();
        CQDDToolsDoc* doc = toolBoxFrame(*app)->document();
        controlMode = 7;
        doc->OpenDiagramForMode();
        QCOMPARE(prompt.countMessages("Not supported control mode."), 1);
        QCOMPARE(framesTitled(*app, "Block Diagram").size(), 0);

        controlMode = 4;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<CTalkDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QRadioButton*>("option1")->setChecked(true);
            dialog->findChild<QPushButton*>("okButton")->click();
        });
        doc->OpenDiagramForMode();
        QCOMPARE(CTalkDlg::lastChoice(), 1);
        QCOMPARE(Shell().currentControlMode, 4);
        const auto diagrams = framesTitled(*app, "Block Diagram");
        QCOMPARE(diagrams.size(), 1);
        QVERIFY(diagrams.first()->view()->findChild<QLabel*>()->text().contains("torque"));

        online = 0;  // the read fails
        doc->OpenDiagramForMode();
        QCOMPARE(prompt.countMessages("Read servo control mode failed."), 1);
    }

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

    void exitWaitsForThePlugin()
    {
        auto app = start();
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
    }
};

QTEST_MAIN(AppFlowTest)
#include "AppFlowTest.moc"
