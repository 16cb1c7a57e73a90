// The point-table window and the homing dialog, headless, on the plug-in's
// worker against the simulated drive.
#include "DriveOnPty.h"
#include "HostVariables.h"

#include "plugin/CWaypadApp.h"
#include "plugin/PointTableLayout.h"
#include "plugin/WaypadTexts.h"
#include "plugin/ui/CDLLChildFrame.h"
#include "plugin/ui/CDLLView.h"
#include "plugin/ui/CDlgHomeSetup.h"
#include "plugin/ui/CJogSlider.h"
#include "plugin/ui/PointTableGrid.h"
#include "platform/ScriptedUserPrompt.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <optional>
#include <tuple>

using namespace waypad;
using platform::PromptNo;
using platform::PromptYes;

namespace {
const std::string kServoQuestion = "Would you like to keep Servo ON status after close window?";
}

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
    QTableWidgetItem* cell(int row, int column) { return view()->grid()->item(row, column); }
    void setCells(std::initializer_list<std::tuple<int, int, const char*>> cells)
    {
        for (const auto& [row, column, value] : cells)
            cell(row, column)->setText(value);
    }
    template <typename T = QPushButton>
    T* child(const char* name, QWidget* in = nullptr) { return (in ? in : frame.get())->findChild<T*>(name); }
    QString text(const char* name, QWidget* in = nullptr) { return child<QLabel>(name, in)->text(); }
    bool waitIdle() { return QTest::qWaitFor([this] { return shared().comm.idle(); }, 10000); }
    bool clickIdle(const char* name, QWidget* in = nullptr) { return child(name, in)->click(), waitIdle(); }
    bool writeAll() { return view()->writeAllWithWarning(), waitIdle(); }
    QString writeFile(const char* name, const QByteArray& bytes)
    {
        QFile file(dir->filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
    }
    // The drive's coils, read on the window's port while the worker is parked.
    unsigned readCoils(uint16_t start, uint16_t count)
    {
        CModbus own;
        own.m_hComm = drive->port();
        unsigned char packed[4] = {};
        return own.ReadCoils(start, count, packed) == 1 ? packed[0] | packed[1] << 8 : 0xFFFFFFFFu;
    }
    bool shown(const std::string& text, const std::string& caption = "Comm")
    {
        const auto all = prompt.shown();
        return std::any_of(all.begin(), all.end(), [&](auto& s) { return s.text == text && s.caption == caption; });
    }

    // Binds the plug-in to a fresh drive and opens its window.
    void open(std::vector<std::string> options, bool linkUp = true)
    {
        drive = std::make_unique<DriveOnPty>(options);
        QVERIFY(drive->ok());
        hostVars.port = drive->port();
        hostVars.slave = 1;
        hostVars.linkUp = linkUp ? 1 : 0;
        app.bind(hostVars.record(), dir->path().toStdString());
        reopen();
    }
    // Opens the window again, as a fresh request of the host does.
    void reopen()
    {
        hostVars.status = 0;
        hostVars.closeRequest = 0;
        frame = std::make_unique<CDLLChildFrame>(app);
        frame->show();
        if (hostVars.linkUp)
            QVERIFY(waitIdle());
    }
    // A point counts as reached within the drive's in-position window (10).
    bool near(int target) { return std::abs(text("position").toInt() - target) <= 10; }
    void run(int first, int last, int delayMs)
    {
        child<QSpinBox>("first")->setValue(first);
        child<QSpinBox>("last")->setValue(last);
        child<QSpinBox>("delay")->setValue(delayMs);
        child("run")->click();
    }
    // Closes the window as the host does: the question first.
    void closeWindow(std::optional<int> answer = {})
    {
        prompt.clear();
        if (answer)
            prompt.queueAnswer(*answer);
        frame->queryClose();
        frame.reset();
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

    // Catches a window that does not read on opening, wrong enabling for the
    // mode, a second command let through, a write without the warning, and a
    // field written to another register than it is read from.
    void openingReadsTheDriveThenWritesAfterTheWarning()
    {
        open({"--mode", "6", "--extended"});
        QVERIFY(shown("Read data success."));
        QCOMPARE(cell(9, 2)->text(), QString("900"));
        QCOMPARE(text("activeMode"), QString("Active control mode:  WaypadHost_ABS"));
        QVERIFY(child("gotoAbs")->isEnabled() && !child("gotoRel")->isEnabled());
        QVERIFY(child("homingSetup")->isEnabled());
        QVERIFY(cell(kSkipGearRatioRow, 1)->flags() & Qt::ItemIsEditable);
        QCOMPARE(child<QProgressBar>("progress")->value(), 8);

        prompt.clear();
        child("readFromDriver")->click();
        child("gotoAbs")->click();
        QVERIFY(shown("Now on processing CommSteps: CS_ReadAllParms"));
        QVERIFY(waitIdle());

        // The whole set to the drive and back: every field lands where it is read from.
        ParameterValues written = view()->grid()->values(ParameterValues{});
        for (int i = 0; i < kPointCount; ++i) {
            written[PointPosition(i)] = (i % 2 ? -1 : 1) * (100000 * i + 7);
            written[PointSpeed(i)] = 50 + 10 * i;
        }
        written[kHomingOffset] = -123456;
        written[kCreepSpeed] = 33;
        written[kOnPosDelay] = 12;
        written[kSoftLimitPos] = 5000000;
        written[kJogSpeed] = 777;
        view()->grid()->setValues(written);
        prompt.clear();
        prompt.queueAnswer(PromptNo);
        child("writeToDriver")->click();
        QCOMPARE(prompt.shown().at(0).caption, std::string("WARNING"));
        QCOMPARE(prompt.shown().at(0).text, app.text(kWriteWarningText));
        QVERIFY(shared().comm.idle());  // No: nothing written
        prompt.queueAnswer(PromptYes);
        QVERIFY(clickIdle("writeToDriver"));
        QVERIFY(shown("Write data success."));
        view()->grid()->setValues(ParameterValues{});
        QVERIFY(clickIdle("readFromDriver"));
        QCOMPARE(view()->grid()->values(ParameterValues{}), written);
    }

    // Catches the skip row, homing or a write of 1222 without the feature,
    // the plug-in's language file ignored (an empty entry keeps the built-in
    // text), and a relative run that does not move its base on.
    void withoutTheFeatureTheSkipRowAndHomingAreOff()
    {
        QVERIFY(!writeFile("Waystation.lng", "[StringTable]\n202=Mode:\n231=\n").isEmpty());
        open({"--mode", "7"});
        QCOMPARE(text("activeMode"), QString("Mode: WaypadHost_REL"));
        QCOMPARE(cell(0, 1)->text(), QString("Position (pulse)"));
        QVERIFY(!(cell(kSkipGearRatioRow, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(!child("homingSetup")->isEnabled());
        QVERIFY(child("gotoRel")->isEnabled() && !child("gotoAbs")->isEnabled());
        // A relative run adds each reached target to the base.
        setCells({{1, 1, "1000"}, {2, 1, "-400"}, {1, 2, "3000"}, {2, 2, "3000"}, {19, 1, "10"}, {20, 1, "10"}});
        QVERIFY(writeAll());  // the drive refuses register 1222 without the feature
        QVERIFY(shown("Write data success."));
        QVERIFY(clickIdle("servoToggle"));
        const int base = shared().position;
        run(1, 2, 0);
        for (int target : {1000, 600, 1600, 1200})
            QTRY_VERIFY_WITH_TIMEOUT(near(base + target), 5000);
        child("run")->click();
    }

    // Catches a read or a drive control offered while the host's link is down.
    void withTheLinkDownNothingIsReadAndDriveControlsAreOff()
    {
        open({"--mode", "6"}, false);
        QTest::qWait(100);
        QVERIFY(prompt.shown().empty());
        for (const char* name : {"readFromDriver", "writeToDriver", "servoToggle", "run", "gotoAbs", "homingSetup"})
            QVERIFY2(!child(name)->isEnabled(), name);
        QVERIFY(child("importFromFile")->isEnabled());
    }

    // Catches a grid that changes on export/import, a damaged file that is
    // taken in part, and Get/Set point or the first/last rule failing.
    void filesAndPointsKeepTheGrid()
    {
        open({"--mode", "6"});
        PointTableGrid* grid = view()->grid();
        child<QSpinBox>("pointNumber")->setValue(9);
        child("getPoint")->click();
        QCOMPARE(child<QSpinBox>("speed")->value(), 900);
        child<QSpinBox>("pulse")->setValue(-4200);
        child<QSpinBox>("pointNumber")->setValue(2);
        child("setPoint")->click();
        QCOMPARE(cell(2, 1)->text(), QString("-4200"));
        QCOMPARE(cell(2, 2)->text(), QString("900"));
        child<QSpinBox>("first")->setValue(5);
        QTRY_COMPARE(child<QSpinBox>("last")->value(), 5);

        setCells({{16, 2, "-12"}, {39, 1, "-2147483648"}});
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

        const std::string bad = writeFile("bad.wpd", "[WPD Point0]\nPosition_pulse=12\nSpeed_rpm=1x\n").toStdString();
        prompt.clear();
        prompt.queueFile(bad);
        child("importFromFile")->click();
        QVERIFY(shown("The file " + bad + " is damaged: [WPD Point0] Speed_rpm does not hold a whole number."));
        QCOMPARE(grid->values(ParameterValues{}), exported);
        QCOMPARE(text("filePath"), " Import Path>   " + path + ".wpd");
    }

    // With the servo off nothing is asked; a host close request with it on is
    // asked in the window and not again on closing; answered No, the servo
    // goes off before the answer is reported. Catches a question asked
    // wrongly or twice, and an answer reported with the servo still on.
    void closeQuestionFlows()
    {
        open({"--mode", "6"});
        hostVars.closeRequest = 1;
        QTRY_COMPARE(hostVars.status.load(), kPluginCloseAnsweredBit);
        closeWindow();
        QVERIFY(prompt.shown().empty());

        reopen();
        QVERIFY(clickIdle("servoToggle"));
        QCOMPARE(child("servoToggle")->text(), QString("Turn ServoOFF"));
        QTRY_COMPARE(hostVars.status.load(), kPluginServoOnBit);
        prompt.queueAnswer(PromptYes);
        hostVars.closeRequest = 1;
        QTRY_VERIFY_WITH_TIMEOUT(hostVars.status & kPluginCloseAnsweredBit, 5000);
        QVERIFY(shown(kServoQuestion, "Close"));
        QCOMPARE(shared().servoOn.load(), 1);  // kept on
        closeWindow();
        QVERIFY(prompt.shown().empty());

        reopen();
        closeWindow(PromptNo);
        QVERIFY(shown(kServoQuestion, "Close"));
        QTRY_VERIFY_WITH_TIMEOUT(hostVars.status & kPluginCloseAnsweredBit, 5000);
        QCOMPARE(hostVars.status & kPluginServoOnBit, 0);
        QTRY_VERIFY(app.worker().parked());
        QCOMPARE(readCoils(38, 1), 0u);
    }

    // Catches Goto or the point run not moving the drive, wrong selection
    // coils, a run that does not wrap, and Stop not ending the run.
    void gotoAndPointRunMoveTheDrive()
    {
        open({"--mode", "6"});
        setCells({{3, 1, "2500"}, {4, 1, "-1500"}, {5, 1, "900"}, {3, 2, "3000"}, {4, 2, "3000"}, {5, 2, "3000"},
                  {19, 1, "10"}, {20, 1, "10"}});  // three fast points, short ramps
        QVERIFY(writeAll());
        QVERIFY(clickIdle("servoToggle"));
        child<QSpinBox>("pulse")->setValue(5000);
        child<QSpinBox>("speed")->setValue(3000);
        QVERIFY(clickIdle("gotoAbs"));
        QTRY_COMPARE_WITH_TIMEOUT(text("position"), QString("5000"), 5000);
        run(3, 5, 1000);
        QCOMPARE(child("run")->text(), QString("Stop"));
        for (int target : {2500, -1500, 900, 2500})  // and round again
            QTRY_VERIFY_WITH_TIMEOUT(near(target), 5000);
        child("run")->click();  // within the dwell at point 3
        QCOMPARE(child("run")->text(), QString("Run"));
        QVERIFY(shared().comm.idle());
        // The drive's selection inputs 42, 39, 37, 34 (bits 0-3) hold point 3 (2).
        closeWindow(PromptYes);
        QTRY_VERIFY(app.worker().parked());
        const unsigned bits = readCoils(32, 11);
        QCOMPARE((bits >> 10 & 1) | (bits >> 7 & 1) << 1 | (bits >> 5 & 1) << 2 | (bits >> 2 & 1) << 3, 2u);
    }

    // Catches a slider that does not spring back, labels not swapped by
    // Reverse, homing, pulse jog, Set home offset or Zero not reaching the
    // drive or the grid, the wrong bit for a time jog minus, and the servo
    // state not read back.
    void homingDialogHomesJogsZeroesAndTakesTheOffset()
    {
        open({"--mode", "6", "--extended"});
        setCells({{24, 1, "300"}, {25, 1, "3000"}});  // homing offset and speed
        QVERIFY(writeAll());
        prompt.clear();
        prompt.queueAnswer(PromptYes);
        child("homingSetup")->click();
        // First use: the offset question, then a write without asking again.
        QVERIFY(prompt.shown().at(0).text.find("位移] 數值") != std::string::npos);
        QCOMPARE(prompt.shown().at(0).caption, std::string("WARNING"));
        QCOMPARE(cell(24, 1)->text(), QString("0"));
        QCOMPARE(cell(kSkipGearRatioRow, 1)->text(), QString("1"));
        QVERIFY(waitIdle());
        QVERIFY(shown("Write data success."));
        CDlgHomeSetup* dialog = view()->homeSetup();
        QVERIFY(dialog->isVisible());
        QVERIFY(!child("servoToggle")->isEnabled());
        QTRY_COMPARE(text("driveStatus", dialog), QString("Not Ready."));

        CJogSlider* slider = dialog->slider();  // still ignored: springs back, moves nothing
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
        child<QCheckBox>("reverse", dialog)->setChecked(false);

        QVERIFY(clickIdle("servoToggle", dialog));
        QCOMPARE(child("servoToggle")->text(), QString("Turn ServoOFF"));
        QTRY_COMPARE_WITH_TIMEOUT(text("driveStatus", dialog), QString("Ready."), 5000);
        child("homing", dialog)->click();
        QTRY_COMPARE_WITH_TIMEOUT(text("driveStatus", dialog), QString("At home."), 8000);
        QTRY_COMPARE_WITH_TIMEOUT(text("homeReference", dialog), QString("0"), 5000);  // offset 0: at the switch

        // Jog by pulses, then take the reference as the offset.
        child<QRadioButton>("pulseMode", dialog)->setChecked(true);
        child<QSpinBox>("jogPulses", dialog)->setValue(250);
        QTest::qWait(1100);  // the slider is read 100 ticks after showing
        slider->setValue(1);
        QTRY_VERIFY(!shared().comm.idle() || text("homeReference", dialog) != "0");
        slider->setValue(0);
        // A held slider repeats every 110 ms: a loaded machine may see more
        // than one jog; the machine settles with its following error.
        const auto settled = [&] {
            const int reference = text("homeReference", dialog).toInt();
            return shared().comm.idle() && reference > 0 && reference % 250 == 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 5000);
        const QString reached = text("homeReference", dialog);
        prompt.queueAnswer(PromptYes);
        child("setHomeOffset", dialog)->click();
        QCOMPARE(cell(24, 1)->text(), reached);
        QVERIFY(waitIdle());
        QVERIFY(clickIdle("zero", dialog));
        QTRY_COMPARE_WITH_TIMEOUT(text("homeReference", dialog), QString("0"), 5000);
        dialog->reject();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(shared().dialogActive.load(), 0);
        QVERIFY(child("servoToggle")->isEnabled());
        // A time jog minus (0x1000) of 500 ms at the drive's 300 rpm: about 2500 pulses.
        QTest::qWait(200);  // the position is read again once the dialog is gone
        const int before = text("position").toInt();
        shared().jogWord = 0x1000 | 500;
        QVERIFY(shared().comm.issue(CS_Jog));
        QTRY_VERIFY_WITH_TIMEOUT(text("position").toInt() < before - 2000, 5000);
        shared().servoOn = 0;  // a read with the feature takes the drive's servo state
        QVERIFY(clickIdle("readFromDriver"));
        QCOMPARE(shared().servoOn.load(), 1);
    }

    // Catches a changed host port picked up late, more than once, or with
    // the old slave address (only station 7 answers on the new port).
    void changedHostPortIsPickedUpWithinACyclePlus100Ms()
    {
        open({"--mode", "6"});
        DriveOnPty second({"--mode", "7"}, 7);
        QVERIFY(second.ok());
        QElapsedTimer took;
        took.start();
        hostVars.slave = 7;
        hostVars.port = second.port();
        QTRY_COMPARE(app.worker().portChanges(), 1);
        QVERIFY(took.elapsed() >= 100);
        QVERIFY2(took.elapsed() < 100 + 1000, "one cycle plus 100 ms, with room for a loaded machine");
        QVERIFY(clickIdle("readFromDriver"));
        QCOMPARE(text("activeMode"), QString("Active control mode:  WaypadHost_REL"));
        QCOMPARE(app.worker().portChanges(), 1);
        cleanup();  // before the second drive's port closes
    }

    // Catches a silent drive that hangs the worker or is reported as success.
    void silentDriveFailsTheStepsWithAMessage()
    {
        open({"--mode", "6", "--silent-after", "3"});
        QVERIFY(shown("Read data failed."));
        hostVars.linkUp = 0;  // the host gave up: no more cyclic reads
        QVERIFY(shared().comm.issue(CS_ZeroHomeOffsetRef));
        QTRY_VERIFY_WITH_TIMEOUT(shown("Write Zero HomeOffsetRef data failed."), 8000);
    }
};

QTEST_MAIN(WaypadViewTest)
#include "WaypadViewTest.moc"
