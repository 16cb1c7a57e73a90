#include "WorkerGate.h"

namespace platform {

WorkerGate::WorkerGate(std::function<bool()> step) : step_(std::move(step)) {}

WorkerGate::~WorkerGate() { stop(); }

void WorkerGate::start() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (thread_.joinable()) {
        // Still running (or asked from its own step): keep the one worker.
        if (!ended_ || std::this_thread::get_id() == thread_.get_id()) return;
        // The worker ended by itself; reap it so a new run can begin.
        std::thread finished = std::move(thread_);
        lock.unlock();
        finished.join();
        lock.lock();
        if (thread_.joinable()) return;  // another caller started it meanwhile
    }
    open_ = false;
    parked_ = false;
    stopRequested_ = false;
    ended_ = false;
    thread_ = std::thread([this] { loop(); });
}

void WorkerGate::loop() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!open_ && !stopRequested_) {
                parked_ = true;
                cv_.notify_all();
                cv_.wait(lock, [this] { return open_ || stopRequested_; });
            }
            parked_ = false;
            if (stopRequested_) break;
        }
        if (!step_()) break;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    parked_ = false;
    cv_.notify_all();
}

void WorkerGate::resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    cv_.notify_all();
}

void WorkerGate::suspend() {
    std::unique_lock<std::mutex> lock(mutex_);
    open_ = false;
    if (!thread_.joinable() || std::this_thread::get_id() == thread_.get_id()) return;
    cv_.wait(lock, [this] { return parked_ || ended_; });
}

void WorkerGate::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopRequested_ = true;
        cv_.notify_all();
    }
    if (thread_.joinable() && std::this_thread::get_id() != thread_.get_id()) thread_.join();
}

bool WorkerGate::running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return thread_.joinable() && !ended_ && open_;
}

bool WorkerGate::suspended() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return parked_;
}

}  // namespace platform
