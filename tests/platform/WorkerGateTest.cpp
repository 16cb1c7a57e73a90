#include "platform/WorkerGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using platform::WorkerGate;

namespace {

// Spins until `pred` holds or two seconds pass.
template <typename Pred>
bool eventually(Pred pred) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!pred() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    return pred();
}

}  // namespace

TEST(WorkerGate, StartsSuspendedAndRunsOnlyWhileOpen) {
    std::atomic<int> steps{0};
    WorkerGate gate([&] {
        ++steps;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        return true;
    });
    gate.start();
    ASSERT_TRUE(eventually([&] { return gate.suspended(); }));
    EXPECT_EQ(steps.load(), 0);
    gate.resume();
    ASSERT_TRUE(eventually([&] { return steps.load() > 5; }));
    // Once suspend() returns the worker is parked: no step runs or starts.
    gate.suspend();
    EXPECT_TRUE(gate.suspended());
    const int parkedAt = steps.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(steps.load(), parkedAt);
    gate.resume();
    ASSERT_TRUE(eventually([&] { return steps.load() > parkedAt; }));
    gate.stop();
    EXPECT_FALSE(gate.running());
}

// A worker that ended by itself (its step returned false) must not hang a
// suspend, and must start again, parked at its gate, on the next start.
TEST(WorkerGate, WorkerThatEndedByItselfStartsAgain) {
    std::atomic<bool> keepRunning{false};
    std::atomic<int> steps{0};
    WorkerGate gate([&] {
        ++steps;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        return keepRunning.load();
    });
    gate.start();
    gate.resume();
    ASSERT_TRUE(eventually([&] { return steps.load() == 1 && !gate.running(); }));
    gate.suspend();  // the worker has ended: returns at once

    keepRunning = true;
    gate.start();
    ASSERT_TRUE(eventually([&] { return gate.suspended(); }));
    const int before = steps.load();
    gate.resume();
    EXPECT_TRUE(eventually([&] { return steps.load() > before + 3; }));
    EXPECT_TRUE(gate.running());
    gate.stop();
    EXPECT_FALSE(gate.running());
    gate.stop();
}
