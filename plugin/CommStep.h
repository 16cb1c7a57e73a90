#pragma once
// The communication step and its result, shared by the window, the homing
// dialog and the worker thread. Odd steps are commands; the worker moves a
// command to the next even step when done, and the window takes the even
// step back to idle. Every change of the pair happens under one short lock,
// so the two values always move together; reads need no lock.

#include <atomic>
#include <cstdint>
#include <mutex>

namespace waypad {

enum CommStepId : int32_t {
    CS_Idle = 0,
    CS_ReadAllParms = 1,
    CS_WriteAllParms = 3,
    CS_ServoOnOff = 5,
    CS_RunPointToPoint = 7,
    CS_GotoABS_PulsePos = 9,
    CS_GotoREL_PulsePos = 11,
    CS_ServoOnOff_2 = 13,
    CS_Homing = 15,
    CS_ZeroHomeOffsetRef = 17,
    CS_Jog = 19,
    CS_JogSpeed = 21,
    kLastCommStep = 22,
};

enum StepResult : int32_t { kResultIdle = 0, kResultBusy = 1, kResultSuccess = 2, kResultFailure = 3 };

// The name the user sees for a step ("CS_ReadAllParms_Finish"); "" beyond
// the table.
const char* CommStepName(int32_t step);

class CommStep {
public:
    int32_t step() const { return step_.load(); }
    int32_t result() const { return result_.load(); }
    bool idle() const { return step() == CS_Idle && result() == kResultIdle; }

    // A command is issued only while step and result are both idle; false
    // (nothing changed) otherwise.
    bool issue(int32_t command);
    // The worker is done with `command`: result, then the next even step.
    // Nothing changes when the step was taken away meanwhile (a stopped run).
    void finish(int32_t command, int32_t result);
    // Takes a finished step back to idle; false when the step is another.
    bool take(int32_t finishedStep, int32_t& result);
    // Takes `command` back to idle if it still runs (the window stops a run).
    void cancel(int32_t command);
    // Sets a command whatever runs (the close question turning the servo off).
    void force(int32_t command);
    void reset();

private:
    mutable std::mutex mutex_;
    std::atomic<int32_t> step_{CS_Idle};
    std::atomic<int32_t> result_{kResultIdle};
};

}  // namespace waypad
