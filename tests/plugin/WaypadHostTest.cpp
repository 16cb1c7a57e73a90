// The program with the real plug-in: loaded from the program's own folder,
// opened from the tool box against the simulated drive, closed again, the
// exit handshake, and plug-in files that cannot be used.
#include "DriveOnPty.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQDDToolsApp.h"
#include "app/CToolBoxView.h"
#include "app/DriveLinkBridge.h"
#include "app/PluginBinding.h"
#include "app/PluginLink.h"
#include "app/ShellState.h"
#include "app/WindowCatalogue.h"
#include "comm/CModbus.h"
#include "link/LinkConnection.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "tables/DriveType.h"
#include "platform/ScriptedUserPrompt.h"

#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const std::string kServoQuestion = "Would you like to keep Servo ON status after close window?";
}

class WaypadHostTest : public QObject {
    Q_OBJECT

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DriveOnPty> drive;
    QString previousDirectory;

    std::unique_ptr<CQDDToolsApp> start(const std::string& pluginPath = {})
    {
        auto app = std::make_unique<CQDDToolsApp>();
        StartupOptions options;
        options.workingDirectory = dir->path().toStdString();
        options.pluginPath = pluginPath;  // empty: beside the program
        options.showCover = false;
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
    QPushButton* waystationButton(CQDDToolsApp& app)
    {
        auto* toolBox = qobject_cast<CToolBoxView*>(framesTitled(app, "Toolbox").value(0)->view());
        return toolBox ? toolBox->button(ToolBoxButton::Waystation) : nullptr;
    }
    bool shown(const std::string& text) { return prompt.countMessages(text) > 0; }

private slots:
    void init()
    {
        prompt.clear();
        dir = std::make_unique<QTemporaryDir>();
        // The plug-in keeps its settings in the working directory.
        previousDirectory = QDir::currentPath();
        QDir::setCurrent(dir->path());
        // A decoy of the plug-in's name where the program works: never loaded.
        QFile decoy(dir->filePath("libWaypad.so"));
        QVERIFY(decoy.open(QIODevice::WriteOnly));
        decoy.write("not a module");
        decoy.close();
        OpenWindows().reset();
        Shell() = ShellState();
        CurrentDriveType() = DriveType();
        CurrentDriveType().driveClass = 3;  // a drive with internal positions
        drive = std::make_unique<DriveOnPty>(std::vector<std::string>{"--mode", "6"});
        QVERIFY(drive->ok());
        LinkState& link = linkState();
        PluginLinkState().useLinkCopies(&link.pluginPortHandle, &link.pluginSlaveAddress, &link.pluginLinkUp);
        auto& bridge = LinkBridge();
        bridge.onlineFlag = [] { return linkState().online; };
        bridge.readControlMode = [](int& mode) { mode = 6; return true; };
        bridge.verifyDriveModel = [](int) { return 1; };
        bridge.runConnectionStep = [this] { CompleteConnection(drive->port(), 1); };
        bridge.forgetConnection = [] { linkState().online = 0; };
        bridge.stopScopeAcquisition = [] { return false; };
    }
    void cleanup()
    {
        LinkState& link = linkState();
        link.portHandle = link.pluginPortHandle = platform::kNoPort;
        link.online = link.pluginLinkUp = 0;
        LinkModbus().m_hComm = platform::kNoPort;
        drive.reset();
        QDir::setCurrent(previousDirectory);
        dir.reset();
    }

    // The real module from the program's folder (the decoy where the program
    // works is never loaded), opened from the tool box and closed; reopened,
    // host reads beside the plug-in's worker never collide; the exit asks the
    // servo question once and turns the servo off before the program ends.
    void toolBoxOpensTheRealPluginAndExitTurnsTheServoOff()
    {
        auto app = start();
        QVERIFY(app);
        QVERIFY(app->plugin().docTemplate());
        QVERIFY(prompt.shown().empty());  // loaded: no "Load dll" message
        QPushButton* button = waystationButton(*app);
        QVERIFY(button && !button->isHidden() && button->isEnabled());
        for (const bool servoOn : {false, true}) {
            button->click();
            const QString title = servoOn ? "Waystation2" : "Waystation1";  // documents are numbered
            QCOMPARE(framesTitled(*app, title).size(), 1);
            QTRY_VERIFY_WITH_TIMEOUT(shown("Read data success."), 10000);
            CChildFrame* frame = framesTitled(*app, title).first();
            QVERIFY(frame->view()->findChild<QWidget*>("pointGrid"));
            if (!servoOn) {
                QPointer<CChildFrame> closing(frame);
                frame->close();
                QTRY_VERIFY(closing.isNull());
                QVERIFY(!shown(kServoQuestion));
                prompt.clear();
                continue;
            }
            int failures = 0;  // the plug-in's worker reads the position every cycle meanwhile
            for (int i = 0; i < 60; ++i) {
                failures += LinkReadRegisters(1, 0x00, 0x00, 0x00, 0x01, 5, 0) != 1;
                QTest::qWait(3);
            }
            QCOMPARE(failures, 0);
            frame->view()->findChild<QPushButton*>("servoToggle")->click();
            QTRY_COMPARE_WITH_TIMEOUT(PluginLinkState().statusWord.load(), kPluginServoOnBit, 5000);
        }
        QVERIFY(!shown("Read data failed."));
        prompt.clear();
        prompt.queueAnswer(platform::PromptNo);
        app->mainFrame()->close();
        QCOMPARE(PluginLinkState().closeRequest.load(), 1);
        QVERIFY(PluginLinkState().statusWord & kPluginCloseAnsweredBit);
        QCOMPARE(prompt.countMessages(kServoQuestion), 1);
        app.reset();  // the plug-in's worker ends with its template
        QVERIFY(QFile::exists(dir->filePath("Waystation.ini")));  // settings written at the end
        CModbus own;
        own.m_hComm = drive->port();
        unsigned char servo = 0xFF;
        QCOMPARE(own.ReadCoils(38, 1, &servo), 1);
        QCOMPARE(int(servo), 0);
    }

    // Catches a missing file, a non-module or a module without the entry
    // point taken, or told with other messages.
    void unusablePluginFilesAreTold()
    {
        drive.reset();
        PluginLinkVariables vars;
        PluginLinkRecord record = vars.bind();
        const QString notAModule = dir->filePath("libWaypad.so");
        const std::string noEntry = TEST_PLUGIN_DIR "/libTestPluginNoEntry.so";
        const struct { std::string path; std::vector<std::string> messages; } cases[] = {
            {dir->filePath("missing/libWaypad.so").toStdString(), {"Loading libWaypad.so failed."}},
            {notAModule.toStdString(), {"Loading libWaypad.so failed."}},
            {noEntry,
             {"Incompatible function: CreateDLLDocTemplate of libTestPluginNoEntry.so failed.",
              "Executing CreateDLLDocTemplate of libTestPluginNoEntry.so failed."}},
        };
        for (const auto& c : cases) {
            prompt.clear();
            PluginBinding binding;
            QVERIFY(!binding.bind(c.path, &record));
            QCOMPARE(prompt.messageTexts(), c.messages);
            QCOMPARE(prompt.shown().at(0).caption, std::string("Load dll"));
        }
    }
};

QTEST_MAIN(WaypadHostTest)
#include "WaypadHostTest.moc"
