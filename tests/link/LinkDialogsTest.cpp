// The connection and model-selection dialogs, headless: the drive is
// drivesim (or a scripted drive); a scripted prompt answers every message.
#include "tests/support/DriveSimProcess.h"
#include "LinkTestBed.h"

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
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

// Runs `action` on the next modal dialog of type T once it is up (bounded).
template <typename T>
void onNextModal(std::function<void(T*)> action, int triesLeft = 200)
{
    QTimer::singleShot(10, [action, triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            action(dialog);
            return;
        }
        if (triesLeft > 0)
            onNextModal<T>(action, triesLeft - 1);
    });
}

std::string tempPath(const char* stem)
{
    return std::string("/tmp/") + stem + "-" + std::to_string(getpid());
}

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

    void autoSearchFindsTheDriveAndIdentificationClosesTheModelDialog()
    {
        const std::string link = tempPath("drivara-link-com3");
        DriveSimProcess sim({"--station", "5", "--baud", "38400", "--model", "VR-101", "--latency", "2", "--link", link});
        QVERIFY(sim.ok());
        MapOnlyPort(3, link);
        int progressShown = -1;
        onNextModal<CSetComPortDlg>([&](CSetComPortDlg* dialog) {
            QCOMPARE(dialog->portList()->itemText(3), QString::fromStdString("COM 3 (" + link + ")"));
            dialog->portList()->setCurrentIndex(0);
            dialog->stationList()->setCurrentIndex(0);
            connect(dialog->progressBar(), &QProgressBar::valueChanged, [&](int v) { progressShown = v; });
            dialog->okButton()->click();
        });
        CSetComPortDlg::runConnectionStep(ini, nullptr, 6);

        QCOMPARE(prompt.countMessages("Communication interface ready to start.\nSerial Port : 3\nBuadrate : 38400\nID: 5"), 1);
        QCOMPARE(prompt.shown().size(), size_t(1));
        QCOMPARE(prompt.shown().back().caption, std::string("Servo connected"));
        QCOMPARE(progressShown, 11);  // COM 1-2 absent, COM 3 at 115200, 57600, 38400
        // The link, the plug-in's copies and the shared Modbus master all take the drive.
        const LinkState& state = linkState();
        QVERIFY(platform::isOpenHandle(state.portHandle));
        QCOMPARE(int(state.slaveAddress), 5);
        QCOMPARE(state.online, 1);
        QCOMPARE(state.pluginPortHandle, state.portHandle);
        QCOMPARE(int(state.pluginSlaveAddress), 5);
        QCOMPARE(state.pluginLinkUp, 1);
        QCOMPARE(LinkModbus().m_hComm, state.portHandle);
        QCOMPARE(int(LinkModbus().GetSlaveAddress()), 5);
        QCOMPARE(CurrentDriveType().family, 0);
        QCOMPARE(CurrentDriveType().vrGroup, 9);
        QCOMPARE(CurrentDriveType().driveClass, 1);
        QCOMPARE(CurrentDriveType().unlistedModel, 0);
        QCOMPARE(modeDialogs, 1);
        QCOMPARE(platform::IniFile::readInt(ini, "SetComPort", "SaveAsDefault", -1), 0);
    }

    void anUnknownModelAsksForAManualChoice()
    {
        DriveSimProcess sim({"--station", "1", "--baud", "19200", "--model", "VR-005"});
        QVERIFY(sim.ok());
        MapOnlyPort(1, sim.portPath());
        CompleteConnection(OpenLinkPort(1, 0), 1);
        CTypeSelDlg dialog;
        onNextModal<CTypeSelDlg>([](CTypeSelDlg* d) {
            d->modelList()->setCurrentRow(29);  // Zt_001
            d->findChild<QPushButton*>("ok")->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(!dialog.closedByIdentification());
        QCOMPARE(prompt.countMessages("The system detected an unknown Type. Please update your software, or manually select the compatible version."), 1);
        QCOMPARE(CurrentDriveType().unlistedModel, 1);
        QCOMPARE(CurrentDriveType().family, 2);
        QCOMPARE(CurrentDriveType().ztGroup, 0);
        QCOMPARE(CurrentDriveType().driveClass, 5);
    }

    void aDriveWithStationZeroIsRefused()
    {
        testsupport::PtyPair pty;
        QVERIFY(pty.ok());
        testsupport::ScriptedResponder drive(pty.masterFd());
        drive.always(kReadStation, Answer(withCrc(hex("01 03 02 00 00"))));  // register 0 holds 0
        MapOnlyPort(1, pty.slavePath());
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
    }

    void escapeIsCancelAndAsksBeforeLeaving()
    {
        CSetComPortDlg dialog(ini);
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

    // Esc or the close box must not end the wait while its timer still
    // writes: the dialog ends only when its own loop does.
    void commandWaitEndsOnlyThroughItsOwnLoop()
    {
        testsupport::PtyPair pty;
        QVERIFY(pty.ok());
        testsupport::ScriptedResponder drive(pty.masterFd());
        drive.expect(kSaveEeprom, Answer::none());
        drive.always(kSaveEeprom, Answer(kSaveEeprom));
        MapOnlyPort(1, pty.slavePath());
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
        QCOMPARE(drive.requests().size(), size_t(2));
        QTest::qWait(250);
        QCOMPARE(drive.requests().size(), size_t(2));  // nothing is written after the end
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
