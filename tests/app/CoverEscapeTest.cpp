// Escape on the cover picture: engineer mode (locks lifted) must still be
// confirmed; closing the cover early never keeps it on unasked.
#include "app/CCoverDlg.h"
#include "app/ShellState.h"
#include "platform/ScriptedUserPrompt.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class CoverEscapeTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        prompt.clear();
        Shell() = ShellState();
        Shell().workingDirectory = dir.path().toStdString();
    }

    void escapeInEngineerModeStillAsks()
    {
        Shell().engineerMode = 1;
        CCoverDlg cover(60000);  // the splash would outlast the test
        prompt.queueAnswer(platform::PromptNo);
        QTimer::singleShot(20, &cover, [&] { QTest::keyClick(&cover, Qt::Key_Escape); });
        // After No the normal cover shows; Escape again closes it unasked.
        QTimer::singleShot(60, &cover, [&] { QTest::keyClick(&cover, Qt::Key_Escape); });
        QTimer::singleShot(5000, &cover, &QDialog::accept);  // bound: never hang
        cover.exec();
        QCOMPARE(prompt.shown().size(), size_t(1));
        QCOMPARE(QString::fromStdString(prompt.shown().at(0).caption), QString("Using engineer mode?"));
        QCOMPARE(Shell().engineerMode, 0);
    }

    void escapeInNormalModeJustCloses()
    {
        CCoverDlg cover(60000);
        QTimer::singleShot(20, &cover, [&] { QTest::keyClick(&cover, Qt::Key_Escape); });
        QTimer::singleShot(5000, &cover, &QDialog::reject);
        QElapsedTimer took;
        took.start();
        cover.exec();
        QVERIFY(took.elapsed() < 4000);
        QVERIFY(prompt.shown().empty());
        QCOMPARE(Shell().engineerMode, 0);
    }

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
    QTemporaryDir dir;
};

QTEST_MAIN(CoverEscapeTest)
#include "CoverEscapeTest.moc"
