#include "tuning/AutoTuningSession.h"

#include "link/LinkRegisterValues.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"

const std::array<uint8_t, kResultRows> kResultParameters = {0x10, 0x11, 0x12, 0x13, 0x14, 0x20};

namespace {

constexpr int kTuning = 1;
constexpr int kSuccess = 2;
constexpr uint16_t kTuningWriteWaitMs = 100;
// One read covers every result parameter: Pr.10 to Pr.20.
constexpr uint16_t kResultReadStart = 0x10;
constexpr uint8_t kResultReadCount = 0x11;

}  // namespace

std::optional<TuningLook> TuningStatusLook(int code)
{
    switch (code) {
    case 0: return TuningLook{"Idle", kColourGrey};
    case 1: return TuningLook{"Tuning", kColourYellow};
    case 2: return TuningLook{"Success", kColourDarkGreen};
    case 3: return TuningLook{"Servo Off", kColourRed};
    case 4: return TuningLook{"Error", kColourRed};
    default: return std::nullopt;
    }
}

TuningLook InvalidTuningLook() { return {"Invalid", kColourRed}; }

bool AutoTuningSession::setServo(bool on)
{
    StreamPause pause;
    return LinkWriteCoil(linkState().slaveAddress, 0x00, kServoOnCoil & 0xFF, on ? 0xFF : 0x00) == 1;
}

AutoTuningSession::StartResult AutoTuningSession::start(int stiffness)
{
    GainSnapshot before;
    if (!ReadGainSnapshot(before))
        return StartResult::SnapshotFailed;
    CurrentGainSnapshot() = before;
    StreamPause pause;
    if (!LinkWriteRegisterValue(kTuningRegister, static_cast<uint16_t>(stiffness + 1), kTuningWriteWaitMs))
        return StartResult::WriteFailed;
    runActive_ = true;
    runBefore_ = before;
    finished_.reset();
    return StartResult::Started;
}

void AutoTuningSession::showLook(const TuningLook& look)
{
    display_.statusText = look.text;
    display_.statusColour = look.colour;
    display_.inertiaColour = look.colour;
}

bool AutoTuningSession::pollStatus()
{
    followUp_ = FollowUp::None;
    LinkState& link = linkState();
    int read = 0;
    {
        StreamPause pause;
        read = LinkReadRegistersQuick(link.slaveAddress, 0x00, kTuningRegister & 0xFF, 0x00, 0x01);
    }
    if (read != 1) {
        showLook(InvalidTuningLook());
        display_.inertiaText.clear();
        return false;
    }
    code_ = link.lastReadReply[4];
    const std::optional<TuningLook> look = TuningStatusLook(code_);
    if (!look)
        return false;  // a code this tool does not know leaves the display
    showLook(*look);
    display_.startEnabled = code_ != kTuning;
    if (code_ != kTuning && code_ != kSuccess)
        display_.inertiaText.clear();
    if (runActive_ && code_ != kTuning)
        followUp_ = FollowUp::RunResult;
    else if (code_ == kTuning || code_ == kSuccess)
        followUp_ = FollowUp::Inertia;
    return followUp_ != FollowUp::None;
}

void AutoTuningSession::pollFollowUp()
{
    const FollowUp step = followUp_;
    followUp_ = FollowUp::None;
    if (step == FollowUp::Inertia) {
        uint16_t inertia = 0;
        StreamPause pause;
        const bool read = LinkReadRegisterValues(0x20, 1, &inertia);
        display_.inertiaText = read ? std::to_string(inertia) : std::string();
        return;
    }
    if (step != FollowUp::RunResult)
        return;
    uint16_t registers[kResultReadCount] = {};
    bool read = false;
    {
        StreamPause pause;
        read = LinkReadRegisterValues(kResultReadStart, kResultReadCount, registers);
    }
    TuningRunResult result;
    result.code = code_;
    result.afterKnown = read;
    for (int i = 0; i < kResultRows; ++i) {
        result.before[i] = runBefore_.valueOf(kResultParameters[i]);
        result.after[i] = registers[kResultParameters[i] - kResultReadStart];
    }
    if (code_ == kSuccess)
        display_.inertiaText = read ? std::to_string(result.after[kResultRows - 1]) : std::string();
    runActive_ = false;
    finished_ = result;
}

std::optional<TuningRunResult> AutoTuningSession::takeFinishedRun()
{
    std::optional<TuningRunResult> result;
    result.swap(finished_);
    return result;
}
