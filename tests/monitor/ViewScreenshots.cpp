// Takes the pictures of the alarm list, the I/O monitor and the estimate
// view for the README: each view in its 800 x 600 child window, against
// drivesim with alarms, the servo on and a finished tuning run.
//   view_screenshots OUTPUT_FOLDER   (run by docs/make-view-screenshots.sh)
#include "tests/monitor/ConnectedDrive.h"

#include "link/LinkConnection.h"
#include "monitor/ui/CAlarmListView.h"
#include "monitor/ui/CIO_Monitor.h"
#include "tuning/ui/AutoTuningPanel.h"
#include "tuning/ui/CEstimateII_View.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()>& ready, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!ready() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return ready();
}

bool shoot(QMdiArea& area, QWidget* view, const QString& file)
{
    QMdiSubWindow* frame = area.addSubWindow(view);
    frame->setWindowTitle(view->objectName());
    frame->resize(800, 600);
    frame->show();
    frame->setFocus();
    QApplication::processEvents();
    const bool saved = frame->grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: view_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    ConnectedDrive drive({"--model", "VR-008", "--alarm", "16", "--history", "16,12,30,150,21",
                          "--tune-ms", "1500", "--inertia", "320"});
    if (!drive.ok()) {
        std::fprintf(stderr, "drivesim did not start\n");
        return 1;
    }
    QMdiArea area;
    area.resize(820, 620);
    area.show();
    bool ok = true;

    auto* alarms = new CAlarmListView;
    alarms->setObjectName("Alarm List Table");
    ok &= waitFor([&] { return !alarms->statusLine()->text().isEmpty() && alarms->statusTextColour() == QColor(255, 0, 0); }, 5000);
    ok &= shoot(area, alarms, folder + "/alarm-list.png");

    // Alarm clear (coil 40), then the servo on (coil 38): outputs and pulse
    // sums move.
    drive.setCoils(32, 9, 0x100);
    drive.setCoils(32, 9, 0x040);
    auto* io = new CIO_Monitor(LinkModbus(), 115);
    io->setObjectName("I/O Monitor");
    ok &= waitFor([&] { return io->commandSum()->text() != "0"; }, 5000);
    ok &= shoot(area, io, folder + "/io-monitor.png");

    auto* estimate = new CEstimateII_View({true, 3});
    estimate->setObjectName("Estimate View");
    AutoTuningPanel* tuning = estimate->autoPanel();
    tuning->stiffnessList()->setCurrentIndex(5);
    tuning->startButton()->click();
    ok &= waitFor([&] { return tuning->resultCell(5, 1)->text() == "320"; }, 10000);
    ok &= shoot(area, estimate, folder + "/estimate-view.png");
    drive.setCoils(32, 9, 0x000);
    return ok ? 0 : 1;
}
