// The scope view against drivesim at 115200 baud, paced: first shown idle,
// then scanning three channels at the full stream with the display
// refreshing. Reports the program's CPU use in both phases (a share of one
// core), the records received and the records lost, found from the drive's
// 1 s square wave on Speed Command (every half period is 500 samples).
//
// usage: bench_scope_stream [seconds per phase (default 60)]
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "platform/PortTable.h"
#include "platform/ScriptedUserPrompt.h"
#include "scope/ScopeDiagnostics.h"
#include "scope/ui/CScaleDlg.h"
#include "scope/ui/CWaveGdiView.h"
#include "tests/support/DriveSimProcess.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `seconds`; the share of one core used meanwhile.
double cpuShareOver(double seconds)
{
    using Clock = std::chrono::steady_clock;
    const double cpuBefore = cpuSeconds();
    const auto start = Clock::now();
    QTest::qWait(static_cast<int>(seconds * 1000));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return 100.0 * (cpuSeconds() - cpuBefore) / wall;
}

struct SquareWave {
    int last = 1 << 20, length = 0, halfPeriods = 0, lost = 0;
    bool first = true;
    void take(int value)
    {
        if (value == last) {
            ++length;
            return;
        }
        if (!first) {
            ++halfPeriods;
            lost += length < 500 ? 500 - length : 0;
        }
        first = last == (1 << 20);
        last = value;
        length = 1;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (!(seconds > 0)) {
        std::fprintf(stderr, "usage: %s [seconds per phase]\n", argv[0]);
        return 2;
    }
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt installed(prompt);
    DriveSimProcess sim({"--baud", "115200", "--pace"});
    if (!sim.ok()) {
        std::fprintf(stderr, "drivesim did not start\n");
        return 1;
    }
    platform::PortTable::clear();
    platform::PortTable::setExplicitEntry(1, sim.portPath());
    CompleteConnection(OpenLinkPort(1, 3), 1);

    CWaveGdiView view;
    view.resize(1280, 800);
    view.show();
    SquareWave square;
    view.session().acquisition().setRecordTap([&square](const DecodedRecord& record) {
        for (int k = 0; k < record.layout.used; ++k)
            if (record.layout.channel[static_cast<size_t>(k)] == kCommand)
                square.take(record.value[static_cast<size_t>(k)]);
    });
    for (int c : {kSpeed, kTorque, kCommand})
        view.scaleTab()->channelBox(c)->click();

    const double idle = cpuShareOver(seconds);
    view.button(ScopeButton::RunStop)->click();
    if (!view.running()) {
        std::fprintf(stderr, "the scope did not start\n");
        return 1;
    }
    const double streaming = cpuShareOver(seconds);
    view.button(ScopeButton::RunStop)->click();
    const ScopeDiagnostics& counters = scopeDiagnostics();
    std::printf("scope view, %.0f s per phase, 115200 baud paced, Speed + Torque + Speed Command:\n"
                "  CPU idle %.2f %%, streaming with the display refreshing %.2f %% (+%.2f %% of one core)\n"
                "  records %u (%.0f/s), CRC failures %u, stray bytes %u, half periods %d, records lost %d\n",
                seconds, idle, streaming, streaming - idle, counters.records.load(), counters.records / seconds,
                counters.crcFailures.load(), counters.leadBytes.load() - counters.records.load(), square.halfPeriods,
                square.lost);
    return 0;
}
