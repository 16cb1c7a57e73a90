// The point-table window and the homing dialog, headless, on the plug-in's
// worker against the simulated drive.
#include "DriveOnPty.h"
#include "HostVariables.h"

#include "plugin/CWaypadApp.h"
#include "plugin/PointTableLayout.h"
#include "plugin/WaypadTexts.h"
#include "plugin/WpdFile.h"
#include "plugin/ui/CDLLChildFrame.h"
#include "plugin/ui/CDLLView.h"
#include "plugin/ui/CDlgHomeSetup.h"
#include "plugin/ui/CJogSlider.h"
#include "plugin/ui/PointTableGrid.h"
#include "platform/ScriptedUserPrompt.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

using namespace waypad;
using platform::PromptNo;
using platform::PromptYes;

class WaypadViewTest : public QObject {
    Q_OBJECT

private:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed{prompt};
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DriveOnPty> drive;
    HostVariables hostVars;
    std::unique_ptr<CDLLChildFrame> frame;
    CWaypadApp& app = CWaypadApp::instance();

    WaypadShared& shared() { return app.shared(); }
    CDLLView* view() { return frame->view(); }
    template <typename T = QPushButton>
    T* child(const char* name, QWidget* in = nullptr) { return (in ? in : frame.get())->findChild<T*>(name); }
    QString text(const char* name, QWidget* in = nullptr) { return child<QLabel>(name, in)->text(); }

    // Binds the plug-in to a fresh drive and opens its window.
    void open(std::vector<std::string> options, bool linkUp = true)
    {
        drive = std::make_unique<DriveOnPty>(options);
        QVERIFY(drive->ok());
        hostVars.port = drive->port();
        hostVars.linkUp = linkUp ? 1 : 0;
        hostVars.status = 0;
        hostVars.closeRequest = 0;
        app.bind(hostVars.record(), dir->path().toStdString());
        frame = std::make_unique<CDLLChildFrame>(app);
        frame->show();
        if (linkUp)
            QVERIFY(waitIdle());
    }
    bool waitIdle() { return QTest::qWaitFor([this] { return shared().comm.idle(); }, 10000); }
    // Closes the window as the host does: the question first.
    void closeWindow()
    {
        frame->queryClose();
        frame.reset();
    }
    bool shownWithCaption(const std::string& text, const std::string& caption)
    {
        for (const auto& s : prompt.shown())
            if (s.text == text && s.caption == caption)
                return true;
        return false;
    }

private slots:
    void init()
    {
        prompt.clear();
        dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        frame.reset();
        app.release();
        drive.reset();
        dir.reset();
    }

    void openingReadsTheDriveAndFollowsItsMode()
    {
        open({"--mode", "6", "--extended"});
        QVERIFY(shownWithCaption("Read data success.", "Comm"));
        QCOMPARE(view()->grid()->item(9, 2)->text(), QString("900"));
        QCOMPARE(view()->grid()->item(0, 1)->text(), QString("Position (pulse)"));
        QCOMPARE(text("activeMode"), QString("Active control mode:  WaypadHost_ABS"));
        QVERIFY(child("gotoAbs")->isEnabled());
        QVERIFY(!child("gotoRel")->isEnabled());
        QVERIFY(child("homingSetup")->isEnabled());
        QVERIFY(view()->grid()->item(kSkipGearRatioRow, 1)->flags() & Qt::ItemIsEditable);
        QCOMPARE(child<QProgressBar>("progress")->value(), 8);
    }

    void withoutTheFeatureTheSkipRowAndHomingAreOff()
    {
        // The plug-in's own language file replaces a text; an empty one keeps the built-in.
        QFile language(dir->filePath("Waystation.lng"));
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.write("[StringTable]\n202=Mode:\n231=\n");
        language.close();
        open({"--mode", "7"});
        QCOMPARE(text("activeMode"), QString("Mode: WaypadHost_REL"));
        QCOMPARE(view()->grid()->item(0, 1)->text(), QString("Position (pulse)"));
        QVERIFY(!(view()->grid()->item(kSkipGearRatioRow, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(!child("homingSetup")->isEnabled());
        QVERIFY(child("gotoRel")->isEnabled() && !child("gotoAbs")->isEnabled());
    }

    void withTheLinkDownNothingIsReadAndDriveControlsAreOff()
    {
        open({"--mode", "6"}, false);
        QTest::qWait(100);
        QVERIFY(prompt.shown().empty());
        for (const char* name : {"readFromDriver", "writeToDriver", "servoToggle", "run", "gotoAbs", "homingSetup"})
            QVERIFY2(!child(name)->isEnabled(), name);
        QVERIFY(child("importFromFile")->isEnabled());
    }

    void writeAllAsksTheWarningThenWrites()
    {
        open({"--mode", "6"});
        prompt.clear();
        view()->grid()->item(1, 1)->setText("-123456");
        view()->grid()->item(34, 1)->setText("1234");
        prompt.queueAnswer(PromptNo);
        child("writeToDriver")->click();
        QCOMPARE(prompt.shown().at(0).caption, std::string("WARNING"));
        QCOMPARE(prompt.shown().at(0).text, app.text(kWriteWarningText));
        QVERIFY(shared().comm.idle());  // No: nothing written

        prompt.queueAnswer(PromptYes);
        child("writeToDriver")->click();
        QVERIFY(waitIdle());
        QVERIFY(shownWithCaption("Write data success.", "Comm"));
        view()->grid()->item(1, 1)->setText("0");
        child("readFromDriver")->click();
        QVERIFY(waitIdle());
        QCOMPARE(view()->grid()->item(1, 1)->text(), QString("-123456"));
        QCOMPARE(view()->grid()->item(34, 1)->text(), QString("1234"));
    }

    void secondCommandWhileOneRunsShowsTheRunningStep()
    {
        open({"--mode", "6"});
        prompt.clear();
        child("readFromDriver")->click();
        child("gotoAbs")->click();
        QVERIFY(shownWithCaption("Now on processing CommSteps: CS_ReadAllParms", "Comm"));
        QVERIFY(waitIdle());
    }

    void exportThenImportGivesTheSameGrid()
    {
        open({"--mode", "6"});
        PointTableGrid* grid = view()->grid();
        grid->item(4, 1)->setText("7777");
        grid->item(16, 2)->setText("-12");
        grid->item(39, 1)->setText("-2147483648");
        const ParameterValues exported = grid->values(ParameterValues{});
        const QString path = dir->filePath("table");  // ".wpd" is added
        prompt.queueFile(path.toStdString());
        child("exportToFile")->click();
        QCOMPARE(text("filePath"), " Export Path>   " + path + ".wpd");
        grid->setValues(ParameterValues{});
        prompt.queueFile((path + ".wpd").toStdString());
        child("importFromFile")->click();
        QCOMPARE(grid->values(ParameterValues{}), exported);
        QCOMPARE(text("filePath"), " Import Path>   " + path + ".wpd");
        QCOMPARE(app.settings().filePath, (path + ".wpd").toStdString());
    }

    void damagedFileIsRefusedAndTheGridStays()
    {
        open({"--mode", "6"});
        PointTableGrid* grid = view()->grid();
        const ParameterValues before = grid->values(ParameterValues{});
        QFile file(dir->filePath("bad.wpd"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[WPD Point0]\nPosition_pulse=12\nSpeed_rpm=1x\n");
        file.close();
        prompt.clear();
        prompt.queueFile(file.fileName().toStdString());
        child("importFromFile")->click();
        QVERIFY(shownWithCaption("The file " + file.fileName().toStdString() +
                                     " is damaged: [WPD Point0] Speed_rpm does not hold a whole number.",
                                 "Comm"));
        QCOMPARE(grid->values(ParameterValues{}), before);
        QVERIFY(text("filePath").isEmpty());
    }

    void getAndSetPointAndTheFirstLastRule()
    {
        open({"--mode", "6"});
        child<QSpinBox>("pointNumber")->setValue(9);
        child("getPoint")->click();
        QCOMPARE(child<QSpinBox>("speed")->value(), 900);
        child<QSpinBox>("pulse")->setValue(-4200);
        child<QSpinBox>("pointNumber")->setValue(2);
        child("setPoint")->click();
        QCOMPARE(view()->grid()->item(2, 1)->text(), QString("-4200"));
        QCOMPARE(view()->grid()->item(2, 2)->text(), QString("900"));
        child<QSpinBox>("first")->setValue(5);
        QTRY_COMPARE(child<QSpinBox>("last")->value(), 5);
    }

    void servoOnThenCloseAnsweredNoTurnsItOffBeforeTheAnswer()
    {
        open({"--mode", "6"});
        child("servoToggle")->click();
        QVERIFY(waitIdle());
        QCOMPARE(child("servoToggle")->text(), QString("Turn ServoOFF"));
        QTRY_COMPARE(hostVars.status.load(), kPluginServoOnBit);
        prompt.clear();
        prompt.queueAnswer(PromptNo);
        closeWindow();
        QVERIFY(shownWithCaption("Would you like to keep Servo ON status after close window?", "Close"));
        QTRY_VERIFY_WITH_TIMEOUT(hostVars.status & kPluginCloseAnsweredBit, 5000);
        QCOMPARE(hostVars.status & kPluginServoOnBit, 0);
        QTRY_VERIFY(app.worker().parked());
        CModbus own;
        own.m_hComm = drive->port();
        unsigned char servo = 0xFF;
        QCOMPARE(own.ReadCoils(38, 1, &servo), 1);
        QCOMPARE(int(servo), 0);
    }

    void closingWithTheServoOffAsksNothing()
    {
        open({"--mode", "6"});
        prompt.clear();
        closeWindow();
        QVERIFY(prompt.shown().empty());
        QCOMPARE(hostVars.status.load(), 0);
    }

    void hostCloseRequestIsAskedByTheWindow()
    {
        open({"--mode", "6", "--extended"});
        child("servoToggle")->click();
        QVERIFY(waitIdle());
        prompt.clear();
        prompt.queueAnswer(PromptYes);
        hostVars.closeRequest = 1;
        QTRY_VERIFY_WITH_TIMEOUT(hostVars.status & kPluginCloseAnsweredBit, 5000);
        QVERIFY(shownWithCaption("Would you like to keep Servo ON status after close window?", "Close"));
        QCOMPARE(shared().servoOn.load(), 1);  // kept on
        // The host then closes the window: answered already, not asked again.
        prompt.clear();
        closeWindow();
        QVERIFY(prompt.shown().empty());
    }

    void gotoAndPointRunMoveTheDrive()
    {
        open({"--mode", "6"});
        for (int row : {3, 4, 5})
            view()->grid()->item(row, 2)->setText("3000");
        view()->grid()->item(3, 1)->setText("2500");
        view()->grid()->item(4, 1)->setText("-1500");
        view()->grid()->item(5, 1)->setText("900");
        view()->grid()->item(19, 1)->setText("10");
        view()->grid()->item(20, 1)->setText("10");
        view()->writeAllWithWarning();
        QVERIFY(waitIdle());
        child("servoToggle")->click();
        QVERIFY(waitIdle());
        child<QSpinBox>("pulse")->setValue(5000);
        child<QSpinBox>("speed")->setValue(3000);
        child("gotoAbs")->click();
        QVERIFY(waitIdle());
        QTRY_COMPARE_WITH_TIMEOUT(text("position"), QString("5000"), 5000);

        // The machine follows with a following error: a point counts as
        // reached within the in-position window (10), where it dwells.
        const auto near = [&](int target) { return std::abs(text("position").toInt() - target) <= 10; };
        child<QSpinBox>("first")->setValue(3);
        child<QSpinBox>("last")->setValue(5);
        child<QSpinBox>("delay")->setValue(300);
        child("run")->click();
        QCOMPARE(child("run")->text(), QString("Stop"));
        QTRY_VERIFY_WITH_TIMEOUT(near(-1500), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(near(900), 5000);
        child("run")->click();
        QCOMPARE(child("run")->text(), QString("Run"));
        QVERIFY(shared().comm.idle());
    }

    void homingDialogHomesZeroesAndTakesTheOffset()
    {
        open({"--mode", "6", "--extended"});
        view()->grid()->item(24, 1)->setText("300");   // homing offset
        view()->grid()->item(25, 1)->setText("3000");  // homing speed
        view()->writeAllWithWarning();
        QVERIFY(waitIdle());
        prompt.clear();
        prompt.queueAnswer(PromptYes);
        child("homingSetup")->click();
        // First use: the offset question, then a write without asking again.
        QVERIFY(prompt.shown().at(0).text.find("位移] 數值") != std::string::npos);
        QCOMPARE(prompt.shown().at(0).caption, std::string("WARNING"));
        QCOMPARE(view()->grid()->item(24, 1)->text(), QString("0"));
        QCOMPARE(view()->grid()->item(kSkipGearRatioRow, 1)->text(), QString("1"));
        QVERIFY(waitIdle());
        QVERIFY(shownWithCaption("Write data success.", "Comm"));
        CDlgHomeSetup* dialog = view()->homeSetup();
        QVERIFY(dialog->isVisible());
        QVERIFY(!child("servoToggle")->isEnabled());
        QTRY_COMPARE(text("driveStatus", dialog), QString("Not Ready."));

        child("servoToggle", dialog)->click();
        QVERIFY(waitIdle());
        QCOMPARE(child("servoToggle")->text(), QString("Turn ServoOFF"));
        QTRY_COMPARE_WITH_TIMEOUT(text("driveStatus", dialog), QString("Ready."), 5000);
        child("homing", dialog)->click();
        QTRY_COMPARE_WITH_TIMEOUT(text("driveStatus", dialog), QString("At home."), 8000);
        QTRY_COMPARE_WITH_TIMEOUT(text("homeReference", dialog), QString("0"), 5000);  // offset 0: at the switch

        // Jog by pulses, then take the reference as the offset.
        child<QRadioButton>("pulseMode", dialog)->setChecked(true);
        child<QSpinBox>("jogPulses", dialog)->setValue(250);
        QTest::qWait(1100);  // the slider is read 100 ticks after showing
        dialog->slider()->setValue(1);
        QTRY_VERIFY(!shared().comm.idle() || text("homeReference", dialog) != "0");
        dialog->slider()->setValue(0);
        // A held slider repeats every 110 ms: a loaded machine may see more than one jog.
        // The machine settles on its target with its following error, so wait for it.
        const auto settled = [&] {
            const int reference = text("homeReference", dialog).toInt();
            return shared().comm.idle() && reference > 0 && reference % 250 == 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 5000);
        const QString reached = text("homeReference", dialog);
        prompt.queueAnswer(PromptYes);
        child("setHomeOffset", dialog)->click();
        QCOMPARE(view()->grid()->item(24, 1)->text(), reached);
        QVERIFY(waitIdle());

        child("zero", dialog)->click();
        QVERIFY(waitIdle());
        QTRY_COMPARE_WITH_TIMEOUT(text("homeReference", dialog), QString("0"), 5000);
        dialog->reject();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(shared().dialogActive.load(), 0);
        QVERIFY(child("servoToggle")->isEnabled());
    }

    void jogSliderSpringsBackAndReverseSwapsTheLabels()
    {
        open({"--mode", "6", "--extended"});
        CDlgHomeSetup* dialog = view()->homeSetup();
        CJogSlider* slider = dialog->slider();
        QCOMPARE(slider->minimum(), -1);
        QCOMPARE(slider->maximum(), 1);
        slider->setValue(1);
        QTest::mouseRelease(slider, Qt::LeftButton);
        QCOMPARE(slider->value(), 0);
        slider->setValue(-1);
        QTest::keyRelease(slider, Qt::Key_Left);
        QCOMPARE(slider->value(), 0);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &wheel);
        QCOMPARE(slider->value(), 0);
        QCOMPARE(text("leftLabel", dialog), QString("J+"));
        child<QCheckBox>("reverse", dialog)->setChecked(true);
        QCOMPARE(text("leftLabel", dialog), QString("J-"));
        QCOMPARE(text("rightLabel", dialog), QString("J+"));
    }
};

QTEST_MAIN(WaypadViewTest)
#include "WaypadViewTest.moc"
