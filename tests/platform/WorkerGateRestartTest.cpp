// A worker that ended by itself (the scope clears its run flag and the
// thread returns) must start again on the next Run.

#include "platform/WorkerGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using platform::WorkerGate;

namespace {

template <typename Pred>
bool within(std::chrono::milliseconds limit, Pred pred) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

}  // namespace

TEST(WorkerGateRestart, WorkerThatEndedByItselfStartsAgain) {
    std::atomic<bool> keepRunning{false};
    std::atomic<int> steps{0};
    WorkerGate gate([&] {
        ++steps;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        return keepRunning.load();
    });

    // First run: one step, then the run flag is found cleared.
    gate.start();
    gate.resume();
    ASSERT_TRUE(within(std::chrono::seconds(2), [&] { return steps.load() == 1 && !gate.running(); }));

    // Second run on the same gate.
    keepRunning = true;
    gate.start();
    ASSERT_TRUE(within(std::chrono::seconds(2), [&] { return gate.suspended(); }))
        << "a restarted worker parks at its gate";
    const int before = steps.load();
    gate.resume();
    EXPECT_TRUE(within(std::chrono::seconds(2), [&] { return steps.load() > before + 3; }));
    EXPECT_TRUE(gate.running());
    gate.suspend();
    EXPECT_TRUE(gate.suspended());
    gate.stop();
    EXPECT_FALSE(gate.running());
}

TEST(WorkerGateRestart, StartWhileRunningKeepsTheOneWorker) {
    std::atomic<int> concurrent{0}, most{0};
    WorkerGate gate([&] {
        const int now = ++concurrent;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {}
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        --concurrent;
        return true;
    });
    gate.start();
    gate.resume();
    gate.start();  // already running: nothing new
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(gate.running());
    gate.stop();
    EXPECT_EQ(most.load(), 1);
}
