#pragma once
// The plug-in's worker thread: every 10 ms one cycle on the plug-in's own
// master over the host's port. A cycle follows the host's port handle,
// reports the servo in the host's status word, passes the host's close
// request to the window, reads the position (and, for the homing dialog,
// the drive status and home reference), and carries out the pending
// communication step. The thread parks while no window is open, but not
// before a pending one-shot command (a servo off above all) went out.

#include "plugin/DriveBus.h"
#include "plugin/HostLink.h"
#include "plugin/PointRun.h"
#include "platform/WorkerGate.h"

#include <atomic>
#include <cstdint>

namespace waypad {

struct WaypadShared;

class CommWorker {
public:
    static constexpr unsigned kCycleMs = 10;
    static constexpr unsigned kPortChangePauseMs = 100;
    static constexpr int kDialogPollCycles = 7;

    CommWorker(DriveBus& bus, WaypadShared& shared, HostLink& host, int showPulsePosition);
    ~CommWorker();  // stops and joins
    CommWorker(const CommWorker&) = delete;
    CommWorker& operator=(const CommWorker&) = delete;

    // Creates the thread, parked.
    void start();
    // A window opened: clear the pause flag and let the thread run.
    void resume();
    // No window is open any more: the thread parks by itself once nothing
    // the window asked for is left undone.
    void pause();
    // Lets an unfinished command go out (bounded wait), then ends and joins
    // the thread.
    void stop();
    bool parked() const { return gate_.suspended(); }
    bool threadRunning() const { return gate_.running(); }

    // One cycle, on the calling thread (the thread's body; tests call it).
    void runCycle();

    uint32_t longestCycleMs() const { return longestCycleMs_.load(); }
    int portChanges() const { return portChanges_.load(); }
    // True while something the window asked for still needs a cycle.
    bool hasUnfinishedWork() const;

private:
    bool loopOnce();
    void followHostPort();
    void passCloseRequest();
    void readCyclicValues();
    void execute(int32_t step);
    bool executeOneShot(int32_t step);

    DriveBus& bus_;
    WaypadShared& shared_;
    HostLink& host_;
    const int showPulsePosition_;
    PointRun run_;
    std::atomic<bool> resetAfterCycle_{false};  // the close question turned the servo off
    bool started_ = false;
    int dialogCycle_ = 0;
    bool dialogReadsStatus_ = true;
    std::atomic<uint32_t> longestCycleMs_{0};
    std::atomic<int> portChanges_{0};
    platform::WorkerGate gate_;
};

}  // namespace waypad
