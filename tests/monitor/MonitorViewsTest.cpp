// The alarm list and the I/O monitor headless against drivesim: what they
// show (codes without a text and above 99 among them), their timers, a drive
// that stops answering, a modal dialog, Zero, the CSV export and Exit.
#include "tests/monitor/ConnectedDrive.h"

#include "link/LinkConnection.h"
#include "monitor/AlarmHistoryCsv.h"
#include "monitor/ui/CAlarmListView.h"
#include "monitor/ui/CIO_Monitor.h"
#include "platform/ScriptedUserPrompt.h"
#include "texts/LoadText.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <fstream>
#include <sstream>

namespace {

// A view in a child window of its own, as the program shows it.
template <typename View>
struct Framed {
    QMdiArea area;
    QMdiSubWindow* frame = nullptr;
    View* view = nullptr;
    explicit Framed(View* made)
    {
        view = made;
        frame = area.addSubWindow(view);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        area.resize(900, 650);
        area.show();
    }
};

std::string readFile(const QString& path)
{
    std::stringstream text;
    text << std::ifstream(path.toStdString()).rdbuf();
    return text.str();
}

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

}  // namespace

class MonitorViewsTest : public QObject {
    Q_OBJECT

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};

private slots:
    void init() { prompt.clear(); }

    void alarmListShowsTheDriveAndFlashes()
    {
        ConnectedDrive drive({"--alarm", "12", "--history", "12,17,100,255"});
        QVERIFY(drive.ok());
        Framed<CAlarmListView> framed(new CAlarmListView);
        CAlarmListView* view = framed.view;
        QCOMPARE(view->refreshTimer()->interval(), CAlarmListView::kRefreshMs);
        QTRY_COMPARE_WITH_TIMEOUT(view->statusLine()->text(), QString(" Err.12   Over voltage protection"), 3000);
        QVERIFY(view->flashTimer()->isActive());
        QCOMPARE(view->historyField(1)->text(), QString(" Err.12   Over voltage protection"));
        QCOMPARE(view->historyField(2)->text(), QString(" Err.17   "));
        QCOMPARE(view->historyField(3)->text(), QString(" Err.100   "));
        QCOMPARE(view->historyField(4)->text(), QString(" Err.255   "));
        QCOMPARE(view->historyField(5)->text(), QString(" No error occurs."));
        // The text blinks between red and the background.
        const QColor first = view->statusTextColour();
        QVERIFY(first == kRed || first == Qt::black);
        QTRY_VERIFY_WITH_TIMEOUT(view->statusTextColour() != first, 1500);
        QPointer<QMdiSubWindow> frame = framed.frame;
        view->exitButton()->click();
        QTRY_VERIFY(frame.isNull());
    }

    void alarmListWaitsForAModalFailsOnceRecoversAndSaves()
    {
        ConnectedDrive drive({"--alarm", "0", "--history", "38,99,200"});
        QVERIFY(drive.ok());
        CAlarmListView view;
        view.refreshTimer()->stop();
        QTemporaryDir dir;
        const QString path = dir.filePath("history.csv");
        view.saveButton()->click();  // nothing read yet
        QCOMPARE(prompt.messageTexts(), std::vector<std::string>{LoadText(652)});

        // The polls wait while a modal dialog holds the port.
        CIO_Monitor io(LinkModbus(), 115);
        io.pollTimer()->stop();
        auto modal = std::make_unique<QDialog>();
        modal->setModal(true);
        modal->show();
        QVERIFY(QApplication::activeModalWidget());
        view.refresh();
        io.pollStep();
        QVERIFY(view.statusLine()->text().isEmpty());
        QCOMPARE(io.modeLine()->text(), QString("I/O Monitor Function"));
        QVERIFY(io.pollTimer()->isActive());
        modal.reset();
        io.pollStep();
        QCOMPARE(io.modeLine()->text(), QString("Position Control Mode"));

        view.refresh();
        QCOMPARE(view.statusLine()->text(), QString(" No error occurs."));
        QCOMPARE(view.statusTextColour(), kGreen);
        QVERIFY(!view.flashTimer()->isActive());
        drive.silence();
        view.refresh();
        QCOMPARE(view.statusLine()->text(), QString("Read data failed!"));
        QCOMPARE(view.statusTextColour(), kRed);
        QVERIFY(!view.flashTimer()->isActive());
        QCOMPARE(view.historyField(1)->text(), QString(" Err.38   Run inhibition input protection"));

        // The history last read is what is saved.
        prompt.clear();
        prompt.queueFile(path.toStdString());
        view.saveButton()->click();
        QCOMPARE(readFile(path), AlarmHistoryCsv(*view.model().lastReadout()));
        QVERIFY(readFile(path).find("\n3,200,\"Err.200\"\n") != std::string::npos);
        prompt.queueFile(dir.filePath("missing/history.csv").toStdString());
        view.saveButton()->click();
        QVERIFY(prompt.messageTexts().back().find(LoadText(651)) == 0);

        drive.answerAgain();
        view.refresh();
        QCOMPARE(view.statusLine()->text(), QString(" No error occurs."));
        QCOMPARE(view.statusTextColour(), kGreen);
    }

    void ioMonitorStepsZeroAndSlowPollWhileSilent()
    {
        ConnectedDrive drive({"--mode", "2"});
        QVERIFY(drive.ok());
        Framed<CIO_Monitor> framed(new CIO_Monitor(LinkModbus(), 115));
        CIO_Monitor& view = *framed.view;
        view.pollTimer()->stop();
        QCOMPARE(view.modeLine()->text(), QString("I/O Monitor Function"));
        view.pollStep();
        QCOMPARE(view.modeLine()->text(), QString("Torque Control Mode"));
        QVERIFY2(view.inputText()->toPlainText().isEmpty(), "the pins come in a later step");
        QCOMPARE(view.pollTimer()->interval(), 0);
        for (int step = 0; step < 3; ++step)
            view.pollStep();
        QVERIFY(view.inputText()->toPlainText().startsWith("Act Pin  Define \n\n"));
        QVERIFY(view.outputText()->toPlainText().contains("   35  SVO-RDY    Servo-Ready output"));
        QCOMPARE(view.pollTimer()->interval(), 115);

        // Zero clears the command sum; while the drive is silent it leaves
        // the feedback sum, and the poll slows down and greys the texts.
        view.commandSum()->setText("1234");
        view.zeroCommandButton()->click();
        QCOMPARE(view.commandSum()->text(), QString("0"));

        drive.silence();
        view.feedbackSum()->setText("1234");
        view.zeroFeedbackButton()->click();
        QCOMPARE(view.feedbackSum()->text(), QString("1234"));
        while (!view.poller().atRoundStart())
            view.pollStep();
        view.pollStep();
        QVERIFY(!view.modeLine()->isEnabled());
        QVERIFY(!view.inputText()->isEnabled());
        QVERIFY(!view.outputText()->isEnabled());
        QCOMPARE(view.pollTimer()->interval(), 3000);
        QVERIFY(view.pollTimer()->isActive());

        drive.answerAgain();
        view.pollStep();
        QVERIFY(view.modeLine()->isEnabled());
        QVERIFY(view.inputText()->isEnabled());
        QCOMPARE(view.pollTimer()->interval(), 0);
        QPointer<QMdiSubWindow> frame = framed.frame;
        view.exitButton()->click();
        QTRY_VERIFY(frame.isNull());
    }
};

QTEST_MAIN(MonitorViewsTest)
#include "MonitorViewsTest.moc"
