#include "plugin/CommWorker.h"

#include "plugin/DriveTransfers.h"
#include "plugin/WaypadShared.h"
#include "platform/Ticks.h"

namespace waypad {
namespace {

constexpr DriveBus::Timing kCyclicReadTiming{1, 1000};
constexpr uint16_t kServoOnCoil = 38;
constexpr uint16_t kServoCommand = 0x400;
constexpr uint16_t kHomingCommand = 0x801;
constexpr uint16_t kJogCommandBits = 0xF000;
constexpr unsigned kStopGraceMs = 3000;

}  // namespace

CommWorker::CommWorker(DriveBus& bus, WaypadShared& shared, HostLink& host, int showPulsePosition)
    : bus_(bus), shared_(shared), host_(host), showPulsePosition_(showPulsePosition),
      gate_([this] { return loopOnce(); })
{
}

CommWorker::~CommWorker()
{
    stop();
}

void CommWorker::start()
{
    started_ = true;
    gate_.start();
}

void CommWorker::resume()
{
    shared_.pause = 0;
    gate_.resume();
}

void CommWorker::pause()
{
    shared_.pause = 1;
}

void CommWorker::stop()
{
    if (!started_)
        return;
    // A servo off asked for by the close question must reach the drive.
    if (hasUnfinishedWork()) {
        gate_.resume();
        const uint32_t since = platform::tickCount();
        while (hasUnfinishedWork() && gate_.running() && platform::tickCount() - since < kStopGraceMs)
            platform::sleepMs(kCycleMs);
    }
    gate_.stop();
    started_ = false;
}

bool CommWorker::hasUnfinishedWork() const
{
    const int32_t step = shared_.comm.step();
    const bool oneShotPending = (step & 1) != 0 && step != CS_RunPointToPoint;
    return shared_.closeAnswer.load() != kNoCloseAnswer || resetAfterCycle_ || oneShotPending;
}

bool CommWorker::loopOnce()
{
    platform::sleepMs(kCycleMs);
    if (shared_.pause.load() && !hasUnfinishedWork()) {
        gate_.suspend();  // from the worker itself: it parks at the top of the next loop
        if (!shared_.pause.load())
            gate_.resume();  // a window opened meanwhile
        return true;
    }
    runCycle();
    return true;
}

void CommWorker::runCycle()
{
    const uint32_t start = platform::tickCount();
    followHostPort();
    host_.reportServo(shared_.servoOn.load() != 0);
    passCloseRequest();
    if (shared_.comm.step() != CS_Idle)
        bus_.flushInput();
    if (showPulsePosition_ == 2 && host_.linkUp())
        readCyclicValues();
    // A host that moved to another port during this cycle: the step waits
    // for the next cycle, which adopts the new port.
    if (host_.portHandle() == bus_.port())
        execute(shared_.comm.step());
    if (resetAfterCycle_) {
        shared_.comm.reset();
        host_.reportServo(shared_.servoOn.load() != 0);
        host_.setStatusBits(kPluginCloseAnsweredBit);
        resetAfterCycle_ = false;
    }
    const uint32_t took = platform::tickCount() - start;
    if (took > longestCycleMs_.load())
        longestCycleMs_ = took;
}

void CommWorker::followHostPort()
{
    if (host_.portHandle() == bus_.port())
        return;
    platform::sleepMs(kPortChangePauseMs);
    bus_.usePort(host_.portHandle(), host_.slaveAddress());
    ++portChanges_;
}

void CommWorker::passCloseRequest()
{
    const bool answered = (host_.statusWord() & kPluginCloseAnsweredBit) != 0;
    if (host_.closeRequested() && !answered && shared_.closeQuestionWanted.load() == 0 &&
        shared_.closeAnswer.load() == kNoCloseAnswer) {
        // The window asks the question; with the servo off there is nothing to ask.
        if (shared_.servoOn.load())
            shared_.closeQuestionWanted = 1;
        else
            host_.setStatusBits(kPluginCloseAnsweredBit);
    }
    switch (shared_.closeAnswer.exchange(kNoCloseAnswer)) {
    case kKeepServoState:
        host_.setStatusBits(kPluginCloseAnsweredBit);
        break;
    case kTurnServoOff:
        // Carried out in this cycle; the answer is reported once it went out.
        shared_.servoOn = 0;
        shared_.comm.force(shared_.extended() ? CS_ServoOnOff_2 : CS_ServoOnOff);
        resetAfterCycle_ = true;
        break;
    default:
        break;
    }
}

void CommWorker::readCyclicValues()
{
    BusTimingScope quick(bus_, kCyclicReadTiming);
    const bool dialog = shared_.dialogActive.load() != 0;
    if (!dialog && shared_.comm.step() != CS_RunPointToPoint) {
        int32_t position = 0;
        if (bus_.readLong(kRegPosition, position))
            shared_.position = position;
    }
    if (!dialog || ++dialogCycle_ < kDialogPollCycles)
        return;
    dialogCycle_ = 0;
    if (dialogReadsStatus_) {
        uint16_t status = 0;
        if (bus_.readRegisters(kRegStatusWord, 1, &status))
            shared_.driveStatus = status;
    } else {
        int32_t reference = 0;
        if (bus_.readLong(kRegHomeReference, reference))
            shared_.homeReference = reference;
    }
    dialogReadsStatus_ = !dialogReadsStatus_;
}

void CommWorker::execute(int32_t step)
{
    CommStep& comm = shared_.comm;
    switch (step) {
    case CS_ReadAllParms:
        comm.finish(step, ReadAllParameters(bus_, shared_) ? kResultSuccess : kResultFailure);
        break;
    case CS_WriteAllParms:
        comm.finish(step, WriteAllParameters(bus_, shared_) ? kResultSuccess : kResultFailure);
        break;
    case CS_RunPointToPoint:
        if (shared_.runSubStep.load() != TRC_IDLE && !run_.cycle(bus_, shared_))
            comm.finish(step, kResultFailure);
        break;
    default:
        if ((step & 1) && step <= kLastCommStep)
            comm.finish(step, executeOneShot(step) ? kResultSuccess : kResultFailure);
        break;
    }
}

bool CommWorker::executeOneShot(int32_t step)
{
    const ParameterBlock& b = shared_.block;
    switch (step) {
    case CS_ServoOnOff:
        return bus_.writeCoil(kServoOnCoil, shared_.servoOn.load() != 0);
    case CS_GotoABS_PulsePos:
    case CS_GotoREL_PulsePos:
        return bus_.writeRegister(kRegTargetSpeed, LowWord(shared_.targetSpeed.load())) &&
               bus_.writeLong(step == CS_GotoABS_PulsePos ? kRegPosition : kRegDistance, shared_.targetPosition.load());
    case CS_ServoOnOff_2:
        return bus_.writeRegister(kRegStatusWord, kServoCommand + (shared_.servoOn.load() ? 1 : 0));
    case CS_Homing:
        return bus_.writeRegister(kRegStatusWord, kHomingCommand);
    case CS_ZeroHomeOffsetRef:
        return bus_.writeRegister(kRegHomeReference, 0);
    case CS_Jog: {
        const bool written = bus_.writeRegister(kRegJogWord, LowWord(shared_.jogWord.load()));
        shared_.jogWord.fetch_and(~int32_t(kJogCommandBits));
        return written;
    }
    case CS_JogSpeed:
        return bus_.writeRegister(kRegJogSpeed, LowWord(b.get(kJogSpeed)));
    default:
        return false;
    }
}

}  // namespace waypad
