// The connection and model-selection dialogs, headless: the drive is
// drivesim (or a scripted drive); a scripted prompt answers every message.
#include "tests/support/DriveSimProcess.h"
#include "LinkTestBed.h"
#include "ModalScript.h"

#include "tables/DriveType.h"
#include "comm/CModbus.h"
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/ui/CMessageEx.h"
#include "link/ui/CSetComPortDlg.h"
#include "link/ui/CTypeSelDlg.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserPrompt.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

std::string tempPath(const char* stem)
{
    return std::string("/tmp/") + stem + "-" + std::to_string(getpid());
}

// A scripted drive on a pseudo-terminal mapped to COM 1.
struct ScriptedDrive {
    ScriptedDrive() { MapOnlyPort(1, pty.slavePath()); }
    testsupport::PtyPair pty;
    testsupport::ScriptedResponder drive{pty.masterFd()};
};

}  // namespace

class LinkDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ResetLinkState();
        CurrentDriveType() = DriveType();
        ini = tempPath("drivara-link-ui.ini");
        std::remove(ini.c_str());
        prompt.clear();
        exitCodes.clear();
        modeDialogs = 0;
        CSetComPortDlg::setExitHandler([this](int code) { exitCodes.push_back(code); });
        CSetComPortDlg::setControlModeDialogHook([this](QWidget*) { ++modeDialogs; return true; });
    }
    void cleanup()
    {
        ResetLinkState();
        std::remove(ini.c_str());
    }

    // Auto search walks ports and rates to the drive; link, plug-in copies and Modbus master all take it.
    void autoSearchFindsTheDriveAndIdentificationClosesTheModelDialog()
    {
        const std::string link = tempPath("drivara-link-com3");
        DriveSimProcess sim({"--station", "5", "--baud", "38400", "--model", "VR-101", "--latency", "2", "--link", link});
        QVERIFY(sim.ok());
        MapOnlyPort(3, link);
        int progressShown = -1;
        ModalScript script;
        script.then<CSetComPortDlg>([&](CSetComPortDlg* dialog) {
            QCOMPARE(dialog->portList()->itemText(3), QString::fromStdString("COM 3 (" + link + ")"));
            dialog->portList()->setCurrentIndex(0);
            dialog->stationList()->setCurrentIndex(0);
            connect(dialog->progressBar(), &QProgressBar::valueChanged, [&](int v) { progressShown = v; });
            dialog->okButton()->click();
        });
        CSetComPortDlg::runConnectionStep(ini, nullptr, 6);
        QVERIFY(script.finished());

        QCOMPARE(prompt.countMessages("Communication interface ready to start.\nSerial Port : 3\nBuadrate : 38400\nID: 5"), 1);
        QCOMPARE(prompt.shown().size(), size_t(1));
        QCOMPARE(prompt.shown().back().caption, std::string("Servo connected"));
        QCOMPARE(progressShown, 11);  // COM 1-2 absent, COM 3 at 115200, 57600, 38400
        // The link, the plug-in's copies and the shared Modbus master all take the drive.
        const LinkState& state = linkState();
        QVERIFY(platform::isOpenHandle(state.portHandle));
        QVERIFY(state.pluginPortHandle == state.portHandle && LinkModbus().m_hComm == state.portHandle);
        QCOMPARE(QList<int>({state.slaveAddress, state.pluginSlaveAddress, LinkModbus().GetSlaveAddress()}),
                 QList<int>({5, 5, 5}));
        QCOMPARE(QList<int>({state.online, state.pluginLinkUp}), QList<int>({1, 1}));
        const DriveType& type = CurrentDriveType();
        QCOMPARE(QList<int>({type.family, type.vrGroup, type.driveClass, type.unlistedModel}), QList<int>({0, 9, 1, 0}));
        QCOMPARE(modeDialogs, 1);
        QCOMPARE(platform::IniFile::readInt(ini, "SetComPort", "SaveAsDefault", -1), 0);
    }

    // An unknown model code asks for a manual choice, which then sets the drive type.
    void anUnknownModelAsksForAManualChoice()
    {
        DriveSimProcess sim({"--station", "1", "--baud", "19200", "--model", "VR-005"});
        QVERIFY(sim.ok());
        MapOnlyPort(1, sim.portPath());
        CompleteConnection(OpenLinkPort(1, 0), 1);
        CTypeSelDlg dialog;
        ModalScript script;
        script.then<CTypeSelDlg>([](CTypeSelDlg* d) {
            d->modelList()->setCurrentRow(29);  // Zt_001
            d->findChild<QPushButton*>("ok")->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(!dialog.closedByIdentification());
        QCOMPARE(prompt.countMessages("The system detected an unknown Type. Please update your software, or manually select the compatible version."), 1);
        const DriveType& type = CurrentDriveType();
        QCOMPARE(QList<int>({type.unlistedModel, type.family, type.ztGroup, type.driveClass}), QList<int>({1, 2, 0, 5}));
    }

    // A drive reporting station 0 is refused and the port released; Esc then asks before leaving.
    void aDriveWithStationZeroIsRefusedAndEscapeAsksBeforeLeaving()
    {
        ScriptedDrive line;
        line.drive.always(kReadStation, Answer(withCrc(hex("01 03 02 00 00"))));  // register 0 holds 0
        CSetComPortDlg dialog(ini);
        dialog.portList()->setCurrentIndex(1);
        dialog.stationList()->setCurrentIndex(1);
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.okButton()->isEnabled());
        QCOMPARE(prompt.countMessages("Communication interface fails to start"), 1);
        QCOMPARE(prompt.shown().back().caption, std::string("Error"));
        QCOMPARE(linkState().online, 0);
        QCOMPARE(linkState().portHandle, platform::kNoPort);

        // Esc is Cancel and asks before leaving the program.
        dialog.show();
        prompt.queueAnswer(platform::PromptCancel);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(prompt.countMessages("You will leave the servo software."), 1);
        QCOMPARE(prompt.shown().back().caption, std::string("Warning"));
        QVERIFY(dialog.isVisible());
        QVERIFY(exitCodes.empty());
        prompt.queueAnswer(platform::PromptOk);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(exitCodes, std::vector<int>{0});
    }

    // Esc or the close box must not end the wait while its timer still writes.
    void commandWaitEndsOnlyThroughItsOwnLoop()
    {
        ScriptedDrive line;
        line.drive.expect(kSaveEeprom, Answer::none());
        line.drive.always(kSaveEeprom, Answer(kSaveEeprom));
        linkState().portHandle = OpenLinkPort(1, 0);
        linkState().slaveAddress = 1;
        linkState().commandWait = {"Warning", "Please wait while data is being written to Servo driver..........", 2, 0x81};
        CMessageEx dialog;
        bool stayedOpen = false;
        QTimer::singleShot(20, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            const bool closed = dialog.close();
            stayedOpen = !closed && dialog.isVisible() && !dialog.commandWait().finished();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(stayedOpen);
        QVERIFY(dialog.commandWait().accepted());
        QCOMPARE(line.drive.requests().size(), size_t(2));
        QTest::qWait(250);
        QCOMPARE(line.drive.requests().size(), size_t(2));  // nothing is written after the end
    }

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
    std::string ini;
    std::vector<int> exitCodes;
    int modeDialogs = 0;
};

QTEST_MAIN(LinkDialogsTest)
#include "LinkDialogsTest.moc"
