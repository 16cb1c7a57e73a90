// The connection dialog closed by Escape or its close box: that is Cancel,
// so it asks before leaving, and during a search it stops the search
// instead of hiding a dialog whose search goes on.
#include "link/LinkConnection.h"
#include "link/LinkState.h"
#include "link/ui/CSetComPortDlg.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"
#include "tests/support/PtyPair.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <string>
#include <unistd.h>

class ConnectionDialogEscapeTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ini = "/tmp/drivara-escape-" + std::to_string(getpid()) + ".ini";
        std::remove(ini.c_str());
        prompt.clear();
        exitCodes.clear();
        CSetComPortDlg::setExitHandler([this](int code) { exitCodes.push_back(code); });
    }
    void cleanup()
    {
        ReleaseLinkPort();
        platform::PortTable::setExplicitEntry(1, "");
        std::remove(ini.c_str());
    }

    void escapeAndCloseBoxAskBeforeLeaving()
    {
        CSetComPortDlg dialog(ini);
        dialog.show();
        prompt.queueAnswer(platform::PromptCancel);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(prompt.countMessages("You will leave the servo software."), 1);
        QVERIFY(dialog.isVisible());
        QVERIFY(exitCodes.empty());

        prompt.queueAnswer(platform::PromptCancel);
        dialog.close();
        QCOMPARE(prompt.countMessages("You will leave the servo software."), 2);
        QVERIFY(dialog.isVisible());

        prompt.queueAnswer(platform::PromptOk);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(exitCodes, std::vector<int>{0});
    }

    void escapeDuringASearchStopsIt()
    {
        testsupport::PtyPair pty;  // a line on which no drive answers
        QVERIFY(pty.ok());
        platform::PortTable::setExplicitEntry(1, pty.slavePath());
        CSetComPortDlg dialog(ini, 3);
        dialog.show();
        dialog.portList()->setCurrentIndex(1);
        dialog.stationList()->setCurrentIndex(0);
        bool pressed = false;
        QTimer::singleShot(30, &dialog, [&] {
            pressed = dialog.searching();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        dialog.okButton()->click();  // returns when the search ends

        QVERIFY(pressed);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.statusLine()->text(), QString("Search stopped."));
        QCOMPARE(prompt.countMessages("You will leave the servo software."), 0);
        QCOMPARE(prompt.countMessages("Communication interface fails to start"), 0);
        QVERIFY(!platform::isOpenHandle(linkState().portHandle));
    }

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
    std::string ini;
    std::vector<int> exitCodes;
};

QTEST_MAIN(ConnectionDialogEscapeTest)
#include "ConnectionDialogEscapeTest.moc"
