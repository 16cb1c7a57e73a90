#pragma once
// A worker thread that can be created suspended, suspended and resumed. The
// worker passes the gate at the top of each loop; suspend() returns only once
// the worker is parked there, so it never stops in the middle of a read.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

class WorkerGate {
public:
    // `step` runs once per loop while the gate is open; it returns false to
    // end the thread.
    explicit WorkerGate(std::function<bool()> step);
    ~WorkerGate();  // stops and joins
    WorkerGate(const WorkerGate&) = delete;
    WorkerGate& operator=(const WorkerGate&) = delete;

    // Starts the thread suspended (parked at the gate), also after a worker
    // that ended by itself; does nothing while one runs.
    void start();
    void resume();
    // Blocks until the worker is parked at the gate (or has ended).
    void suspend();
    // Asks the worker to end and joins it. Safe to call twice.
    void stop();

    bool running() const;    // thread alive and gate open
    bool suspended() const;  // parked at the gate

private:
    void loop();

    std::function<bool()> step_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::thread thread_;
    bool open_ = false;
    bool parked_ = false;
    bool stopRequested_ = false;
    bool ended_ = true;
};

}  // namespace platform
