// Takes the README's pictures of the point-table window and the homing
// dialog on drivesim: a small point table written to the drive, homed, then
// grabbed. Not a test: run by docs/make-waypad-screenshots.sh.
#include "DriveOnPty.h"
#include "HostVariables.h"

#include "plugin/CWaypadApp.h"
#include "plugin/ui/CDLLChildFrame.h"
#include "plugin/ui/CDLLView.h"
#include "plugin/ui/CDlgHomeSetup.h"
#include "plugin/ui/PointTableGrid.h"
#include "platform/ScriptedUserPrompt.h"

#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;  // usage: waypad_screenshots output-folder
    const QString out = QString::fromLocal8Bit(argv[1]);
    platform::ScriptedUserPrompt prompt;  // every question answered Yes
    platform::ScopedUserPrompt installed(prompt);
    QTemporaryDir dir;
    DriveOnPty drive({"--mode", "6", "--extended", "--model", "VR-008"});
    if (!drive.ok())
        return 1;
    HostVariables host;
    host.port = drive.port();
    CWaypadApp& app = CWaypadApp::instance();
    const auto idle = [&] { return QTest::qWaitFor([&] { return app.shared().comm.idle(); }, 10000); };
    app.bind(host.record(), dir.path().toStdString());
    bool saved = false;
    {
        CDLLChildFrame frame(app);
        frame.resize(980, 760);
        frame.setWindowTitle("Waystation1");
        frame.show();
        if (!idle())
            return 1;
        const int positions[] = {0, 25000, 50000, -12500, 100000, 75000, 0, -50000};
        for (int i = 0; i < 8; ++i) {
            frame.view()->grid()->item(1 + i, 1)->setText(QString::number(positions[i]));
            frame.view()->grid()->item(1 + i, 2)->setText(QString::number(500 + 250 * i));
        }
        frame.view()->grid()->item(24, 1)->setText("1200");
        frame.findChild<QPushButton*>("homingSetup")->click();  // first use: writes the table
        if (!idle())
            return 1;
        CDlgHomeSetup* dialog = frame.view()->homeSetup();
        dialog->findChild<QPushButton*>("servoToggle")->click();
        idle();
        dialog->findChild<QPushButton*>("homing")->click();
        QTest::qWait(1500);
        frame.findChild<QSpinBox*>("first")->setValue(2);
        frame.findChild<QSpinBox*>("last")->setValue(5);
        QTest::qWait(200);
        saved = frame.grab().save(out + "/waypad-point-table.png") && dialog->grab().save(out + "/waypad-home-setup.png");
        dialog->findChild<QPushButton*>("servoToggle")->click();
        idle();
    }
    app.release();
    return saved ? 0 : 1;
}
