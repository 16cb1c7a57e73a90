#include "platform/ScriptedUserPrompt.h"
#include "platform/Ticks.h"
#include "platform/WorkerGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace platform;

namespace {

// Spins until `pred` holds or a second passes.
template <typename Pred>
bool eventually(Pred pred) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
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

TEST(WorkerGate, StepReturningFalseEndsThreadAndSuspendDoesNotHang) {
    std::atomic<int> steps{0};
    WorkerGate gate([&] { return ++steps < 3; });
    gate.start();
    gate.resume();
    ASSERT_TRUE(eventually([&] { return !gate.running(); }));
    EXPECT_EQ(steps.load(), 3);
    gate.suspend();  // the worker has ended: must return at once
    gate.stop();
    gate.stop();
}

// Tests step the clock through setTickSource; clearing it must bring back
// the real clock.
TEST(Ticks, SteppedSourceIsUsedAndClearingItRestoresTheClock) {
    uint32_t now = 0xFFFFFFF0u;
    setTickSource([&] { return now; });
    EXPECT_EQ(tickCount(), 0xFFFFFFF0u);
    setTickSource({});
    const uint32_t before = tickCount();
    sleepMs(3);
    EXPECT_GE(static_cast<uint32_t>(tickCount() - before), 2u);
}

TEST(UserPrompt, ScriptedAnswersAreTakenInOrderThenFirstButton) {
    ScriptedUserPrompt script;
    ScopedUserPrompt scope(script);
    script.queueAnswer(PromptNo);
    EXPECT_EQ(userPrompt().messageBox("Q1", "Warning", PromptButtons::YesNo), PromptNo);
    EXPECT_EQ(userPrompt().messageBox("Q2", "Warning", PromptButtons::YesNo), PromptYes);
    EXPECT_EQ(userPrompt().messageBox("Q3", "Error"), PromptOk);
    EXPECT_EQ(script.countMessages("Q2"), 1);
    EXPECT_EQ(userPrompt().openFileName({"Open", "", "", ""}), "");
    script.queueFile("/tmp/a.qdp");
    EXPECT_EQ(userPrompt().saveFileName({"Save", "", "", ""}), "/tmp/a.qdp");
    {
        WaitCursor busy;
        EXPECT_EQ(script.waitCursorDepth(), 1);
    }
    EXPECT_EQ(script.waitCursorDepth(), 0);
}
