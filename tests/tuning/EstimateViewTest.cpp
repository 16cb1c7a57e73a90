// The estimate view headless against drivesim: the method each drive
// allows, a whole auto-tuning run with the change list and the result side
// by side, the EEPROM save, the manual estimate sent and read back, and Exit.
#include "tests/monitor/ConnectedDrive.h"

#include "platform/ScriptedUserPrompt.h"
#include "texts/LoadText.h"
#include "tuning/GainSnapshot.h"
#include "tuning/ui/AutoTuningPanel.h"
#include "tuning/ui/CEstimateII_View.h"
#include "tuning/ui/ManualEstimatePanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {

EstimateViewContext onLine(int driveClass) { return {true, driveClass}; }
const EstimateViewContext kOffLine{false, 0};

QColor textColour(QLabel* label) { return label->palette().color(QPalette::WindowText); }

// The change list worked out here from two raw reads of Pr.00-Pr.3A.
std::string expectedChanges(const uint16_t* before, const uint16_t* after)
{
    std::string text;
    for (uint8_t p : kSnapshotParameters) {
        char line[64];
        if (before[p] != after[p] &&
            std::snprintf(line, sizeof line, "Pr%02X { %5u ---> %5u }\n", p, unsigned(before[p]), unsigned(after[p])) > 0)
            text += line;
    }
    return text;
}

}  // namespace

class EstimateViewTest : public QObject {
    Q_OBJECT

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};

    void chooseStiffness(ManualEstimatePanel* panel, int stiffness)
    {
        panel->stiffnessList()->setCurrentIndex(stiffness);
        emit panel->stiffnessList()->activated(stiffness);
        QTRY_COMPARE(panel->bandwidthInput()->isEnabled(), true);
    }

private slots:
    void init() { prompt.clear(); }

    void opensWithTheMethodItsDriveAllowsAndSavesToEeprom()
    {
        ConnectedDrive drive({"--model", "VR-008"});
        QVERIFY(drive.ok());
        const std::string oldDrive = "Offline - Auto gain tuningdo not support the old version: VR_006 / VR_101 /  VR_201";
        const struct {
            EstimateViewContext context;
            bool autoMethod, eeprom, read;
            std::string refusal;  // told when the auto method is chosen
        } rows[] = {
            {onLine(3), true, true, false, ""},
            {kOffLine, false, false, false, LoadText(461)},
            {onLine(1), false, true, true, oldDrive},
        };
        for (const auto& row : rows) {
            prompt.clear();
            CEstimateII_View view(row.context);
            QCOMPARE(view.autoRadio()->isChecked(), row.autoMethod);
            QCOMPARE(view.autoPanel()->pollTimer()->isActive(), row.autoMethod);
            QCOMPARE(view.autoPanel()->servoOnButton()->isEnabled(), row.autoMethod);
            QCOMPARE(view.showModifiedButton()->isEnabled(), row.autoMethod);
            QCOMPARE(view.manualPanel()->stiffnessList()->isEnabled(), !row.autoMethod);
            QCOMPARE(view.eepromButton()->isEnabled(), row.eeprom);
            QCOMPARE(view.manualPanel()->readButton()->isEnabled(), row.read);
            QCOMPARE(view.promptBox()->text(), QString::fromStdString(LoadText(443)));
            view.autoRadio()->click();
            QCOMPARE(view.autoRadio()->isChecked(), row.refusal.empty());
            QCOMPARE(prompt.messageTexts(), row.refusal.empty() ? std::vector<std::string>{}
                                                                : std::vector<std::string>{row.refusal});
        }

        CEstimateII_View view(onLine(3));
        QTRY_COMPARE(view.autoPanel()->statusLabel()->text(), QString("Idle"));
        QCOMPARE(textColour(view.autoPanel()->statusLabel()), QColor(128, 128, 128));
        view.manualRadio()->click();
        QVERIFY(!view.autoPanel()->pollTimer()->isActive());
        QVERIFY(view.manualPanel()->readButton()->isEnabled());
        view.autoRadio()->click();
        QCOMPARE(view.promptBox()->text(), QString::fromStdString(LoadText(460)));
        QVERIFY(view.autoPanel()->pollTimer()->isActive());

        // The EEPROM save asks first, then waits for the drive.
        prompt.clear();
        prompt.queueAnswer(platform::PromptCancel);
        view.eepromButton()->click();
        QCOMPARE(prompt.messageTexts(), std::vector<std::string>{LoadText(338)});

        prompt.clear();
        prompt.queueAnswer(platform::PromptOk);
        view.eepromButton()->click();
        QCOMPARE(prompt.messageTexts(), (std::vector<std::string>{LoadText(338), "EEPROM Write"}));
        QCOMPARE(prompt.shown().back().caption, std::string("Remind"));
    }

    void wholeAutoTuningRunInTheView()
    {
        ConnectedDrive drive({"--model", "VR-008", "--tune-ms", "800", "--inertia", "300"});
        QVERIFY(drive.ok());
        QMdiArea area;
        auto* view = new CEstimateII_View(onLine(3));
        QPointer<QMdiSubWindow> frame = area.addSubWindow(view);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        AutoTuningPanel* tuning = view->autoPanel();
        uint16_t before[kSnapshotReadCount] = {}, after[kSnapshotReadCount] = {};
        QVERIFY(drive.readRegisters(0, kSnapshotReadCount, before));
        tuning->stiffnessList()->setCurrentIndex(5);
        tuning->servoOnButton()->click();
        tuning->startButton()->click();
        QVERIFY(prompt.shown().empty());
        QTRY_COMPARE_WITH_TIMEOUT(tuning->statusLabel()->text(), QString("Tuning"), 3000);
        QCOMPARE(textColour(tuning->statusLabel()), QColor(255, 255, 0));
        QVERIFY(!tuning->startButton()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(tuning->statusLabel()->text(), QString("Success"), 5000);
        QCOMPARE(textColour(tuning->statusLabel()), QColor(0, 128, 0));
        QTRY_COMPARE_WITH_TIMEOUT(tuning->inertiaLabel()->text(), QString("300"), 2000);
        QVERIFY(tuning->startButton()->isEnabled());
        // Before and after, side by side: Pr.20 is the last row.
        QTRY_COMPARE_WITH_TIMEOUT(tuning->resultCell(5, 1)->text(), QString("300"), 2000);
        QCOMPARE(tuning->resultCell(5, 0)->text(), QString("100"));
        QVERIFY(!tuning->resultCell(0, 0)->text().isEmpty());

        view->showModifiedButton()->click();
        QCOMPARE(prompt.shown().size(), size_t(1));
        QCOMPARE(prompt.shown()[0].caption, LoadText(459));
        QVERIFY(drive.readRegisters(0, kSnapshotReadCount, after));
        QCOMPARE(prompt.shown()[0].text, expectedChanges(before, after));
        QVERIFY(prompt.shown()[0].text.find("Pr20 {   100 --->   300 }\n") != std::string::npos);
        tuning->servoOffButton()->click();
        view->exitButton()->click();
        QTRY_VERIFY(frame.isNull());
    }

    void manualEstimateSentAndReadBack()
    {
        ConnectedDrive drive({"--model", "VR-101"});
        QVERIFY(drive.ok());
        CEstimateII_View view(onLine(1));
        ManualEstimatePanel* manual = view.manualPanel();
        // Each field explains itself in the prompt box when it gets the focus.
        QFocusEvent focus(QEvent::FocusIn);
        QApplication::sendEvent(manual->bandwidthInput(), &focus);
        QCOMPARE(view.promptBox()->text(), QString::fromStdString(LoadText(452)));
        QApplication::sendEvent(manual->nowField(RowPr14), &focus);
        QCOMPARE(view.promptBox()->text(), QString::fromStdString(LoadText(456)));

        QTest::keyClicks(manual->inertiaInput(), "5");  // "0" becomes "05"
        chooseStiffness(manual, 5);
        QCOMPARE(manual->bandwidthInput()->text(), QString("43"));
        QCOMPARE(manual->bandwidthLabel()->text(), QString("Speed loop bandwidth (Hz) Range 37~49"));
        QCOMPARE(manual->responseTimeInput()->text(), QString("1694"));
        QVERIFY(!manual->transferButton()->isEnabled());

        manual->responseTimeInput()->clear();
        QTest::keyClicks(manual->responseTimeInput(), "1000");
        manual->estimateButton()->click();
        const char* expected[] = {"100", "43", "26", "57", "05"};
        for (int row = 0; row < kGainRowCount; ++row)
            QCOMPARE(manual->nowField(row)->text(), QString(expected[row]));
        QCOMPARE(view.promptBox()->text(), QString::fromStdString(LoadText(448)));
        QVERIFY(manual->transferButton()->isEnabled());

        manual->transferButton()->click();
        QVERIFY(prompt.shown().empty());
        for (int row = 0; row < kGainRowCount; ++row) {
            QCOMPARE(manual->driverField(row)->text(), manual->nowField(row)->text());
            manual->driverField(row)->clear();
        }
        manual->readButton()->click();
        const char* read[] = {"100", "43", "26", "57", "5"};
        for (int row = 0; row < kGainRowCount; ++row)
            QCOMPARE(manual->driverField(row)->text(), QString(read[row]));
        QCOMPARE(view.progressBar()->value(), 0);

        // A drive that does not answer: the read stops at the first register.
        prompt.clear();
        drive.silence();
        manual->readButton()->click();
        QCOMPARE(prompt.messageTexts(), std::vector<std::string>{"Read data failed!"});
        QCOMPARE(view.progressBar()->value(), 0);
    }
};

QTEST_MAIN(EstimateViewTest)
#include "EstimateViewTest.moc"
