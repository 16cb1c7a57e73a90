#include "scope/ScopeAcquisition.h"

#include "link/LinkFrames.h"
#include "link/LinkPort.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "platform/Ticks.h"
#include "scope/ScopeDiagnostics.h"
#include "scope/StreamRecordReader.h"

namespace {

constexpr uint16_t kStartStopWaitMs = 100;
// Consecutive failed queue queries before the port counts as gone; each
// is followed by the reader's pause, so a dead port never spins a core.
constexpr int kPortFailureLimit = 3;

void clearRunFlags()
{
    LinkState& link = linkState();
    link.scanRunning = 0;
    link.scopeRunning = 0;
    link.triggerRunning = 0;
}

}  // namespace

ScopeAcquisition::ScopeAcquisition(ScopeBuffers& buffers, LiveSettings& live)
    : buffers_(buffers), live_(live), gate_([this] { return step(); })
{
}

ScopeAcquisition::~ScopeAcquisition()
{
    if (!started_)
        return;
    const bool streaming = runFlagSet() && endReason_ == AcquisitionEnd::None;
    clearRunFlags();
    joinWorker();
    if (streaming)
        stopDriveStream();
}

bool ScopeAcquisition::runFlagSet() const
{
    const LinkState& link = linkState();
    return triggerSource_ != 0 ? link.triggerRunning == 1 : link.scanRunning == 1;
}

ScopeAcquisition::StartResult ScopeAcquisition::start(uint8_t mask, int triggerSource)
{
    if (started_)
        stop();
    LinkState& link = linkState();
    if (!platform::isOpenHandle(link.portHandle))
        return StartResult::NoPort;
    scopeDiagnostics().resetForRun();
    link.channelMask = mask;
    // The start's echo is read from the port at once, before records follow.
    if (LinkWriteRegisterPolled(link.slaveAddress, 0x00, kChannelSelectRegister, 0x00, mask, kStartStopWaitMs) != 1) {
        stopDriveStream();
        return StartResult::Refused;
    }
    mask_ = mask;
    triggerSource_ = triggerSource;
    port_ = link.portHandle;
    portFailures_ = 0;
    restartWanted_ = false;
    endReason_ = AcquisitionEnd::None;
    trigger_.reset();
    buffers_.clearAll();
    if (triggerSource_ != 0)
        link.triggerRunning = 1;
    else
        link.scanRunning = 1;
    link.scopeRunning = 1;
    gate_.start();
    link.acquisitionWorker = &gate_;
    gate_.resume();
    started_ = true;
    return StartResult::Started;
}

void ScopeAcquisition::stop()
{
    if (!started_)
        return;
    // A drive known silent or a dead port is not asked again: each would
    // cost the write's whole round of attempts.
    const bool driveAnswers = endReason_ == AcquisitionEnd::None ||
                              endReason_ == AcquisitionEnd::HorizontalOutOfRange;
    clearRunFlags();
    joinWorker();
    if (driveAnswers)
        stopDriveStream();
}

AcquisitionEnd ScopeAcquisition::poll()
{
    if (!started_)
        return AcquisitionEnd::None;
    // Only a worker that runs asked for the restart; one the link has
    // parked waits for the link's own resume, which restarts the stream.
    if (restartWanted_.exchange(false) && runFlagSet() && gate_.running()) {
        gate_.suspend();
        // One request, its echo left to come back inside the stream: a
        // silent drive must not hold the window for a round of attempts.
        const RequestFrame8 frame =
            BuildWriteRegisterFrame(linkState().slaveAddress, 0x00, kChannelSelectRegister, 0x00, mask_);
        LinkSendRequest(port_, frame.data(), frame.size());
        gate_.resume();
    }
    const AcquisitionEnd reason = endReason_;
    if (reason == AcquisitionEnd::None && runFlagSet())
        return AcquisitionEnd::None;
    joinWorker();
    if (reason == AcquisitionEnd::HorizontalOutOfRange)
        stopDriveStream();
    return reason != AcquisitionEnd::None ? reason : AcquisitionEnd::StoppedElsewhere;
}

void ScopeAcquisition::joinWorker()
{
    gate_.stop();
    LinkState& link = linkState();
    if (link.acquisitionWorker == &gate_)
        link.acquisitionWorker = nullptr;
    started_ = false;
}

void ScopeAcquisition::stopDriveStream()
{
    LinkState& link = linkState();
    LinkWriteRegister(link.slaveAddress, 0x00, kChannelSelectRegister, 0x00, 0x00, kStartStopWaitMs);
}

void ScopeAcquisition::endBy(AcquisitionEnd reason)
{
    endReason_ = reason;
    clearRunFlags();
}

bool ScopeAcquisition::step()
{
    if (!runFlagSet())
        return false;
    const int captureLength = live_.captureLength.load();
    TriggerParameters parameters;
    if (triggerSource_ != 0) {
        const int horizontal = live_.horizontal.load();
        if (!HorizontalInRange(horizontal)) {
            endBy(AcquisitionEnd::HorizontalOutOfRange);
            return false;
        }
        parameters = {captureLength, PreTriggerCount(captureLength, horizontal), live_.level.load(),
                      triggerSource_ - 1};
    }

    switch (ReadStreamRecord(port_)) {
    case StreamReadResult::Record:
        portFailures_ = 0;
        break;
    case StreamReadResult::PortFailure:
        if (++portFailures_ >= kPortFailureLimit) {
            endBy(AcquisitionEnd::PortFailed);
            return false;
        }
        platform::sleepMs(kStreamPollMs);
        return runFlagSet();
    case StreamReadResult::Stalled:
        restartWanted_ = true;
        [[fallthrough]];
    case StreamReadResult::NoData:
        portFailures_ = 0;
        if (scopeDiagnostics().stallCount >= kGiveUpStalls) {
            endBy(AcquisitionEnd::DriveSilent);
            return false;
        }
        return runFlagSet();
    default:
        portFailures_ = 0;
        platform::yieldThread();
        return runFlagSet();
    }
    if (!runFlagSet())
        return false;

    DecodedRecord record;
    DecodeStreamRecord(mask_, linkState().streamRecord + 1, record);
    if (tap_)
        tap_(record);
    if (triggerSource_ == 0) {
        buffers_.appendRolling(record.layout.channel.data(), record.value.data(), record.layout.used,
                               static_cast<size_t>(captureLength) + 1);
    } else if (trigger_.addRecord(record, parameters)) {
        std::vector<double> captures[kStreamSlotCount];
        for (int k = 0; k < record.layout.used; ++k)
            captures[k] = trigger_.capture(k);
        buffers_.replaceCaptures(record.layout.channel.data(), captures, record.layout.used);
    }
    return runFlagSet();
}
