#include "plugin/CommStep.h"

namespace waypad {

const char* CommStepName(int32_t step)
{
    static const char* const names[kLastCommStep + 1] = {
        "CS_Idle",
        "CS_ReadAllParms", "CS_ReadAllParms_Finish",
        "CS_WriteAllParms", "CS_WriteAllParms_Finish",
        "CS_ServoOnOff", "CS_ServoOnOff_Finish",
        "CS_RunPointToPoint", "CS_RunPointToPoint_Finish",
        "CS_GotoABS_PulsePos", "CS_GotoABS_PulsePos_Finish",
        "CS_GotoREL_PulsePos", "CS_GotoREL_PulsePos_Finish",
        "CS_ServoOnOff_2", "CS_ServoOnOff_2_Finish",
        "CS_Homing", "CS_Homing_Finish",
        "CS_ZeroHomeOffsetRef", "CS_ZeroHomeOffsetRef_Finish",
        "CS_Jog", "CS_Jog_Finish",
        "CS_JogSpeed", "CS_JogSpeed_Finish",
    };
    return step >= 0 && step <= kLastCommStep ? names[step] : "";
}

bool CommStep::issue(int32_t command)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (step_ != CS_Idle || result_ != kResultIdle)
        return false;
    result_ = kResultBusy;
    step_ = command;
    return true;
}

void CommStep::finish(int32_t command, int32_t result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (step_ != command)
        return;
    result_ = result;
    step_ = command + 1;
}

bool CommStep::take(int32_t finishedStep, int32_t& result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (step_ != finishedStep)
        return false;
    result = result_;
    step_ = CS_Idle;
    result_ = kResultIdle;
    return true;
}

void CommStep::cancel(int32_t command)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (step_ != command)
        return;
    step_ = CS_Idle;
    result_ = kResultIdle;
}

void CommStep::force(int32_t command)
{
    std::lock_guard<std::mutex> lock(mutex_);
    result_ = kResultBusy;
    step_ = command;
}

void CommStep::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    step_ = CS_Idle;
    result_ = kResultIdle;
}

}  // namespace waypad
