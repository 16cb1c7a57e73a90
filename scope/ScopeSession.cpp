#include "scope/ScopeSession.h"

#include "link/LinkState.h"
#include "platform/AtomicFile.h"
#include "platform/Ticks.h"
#include "scope/AutoSet.h"
#include "scope/ScaleSettings.h"

#include <algorithm>

ScopeSession::ScopeSession()
{
    refreshChannels();
}

void ScopeSession::refreshChannels()
{
    for (int c = 0; c < kScopeChannelCount; ++c)
        limits_[static_cast<size_t>(c)] = scale_.limits(c);
    captureLength_ = scale_.secDiv();
    live_.captureLength = captureLength_;
}

ScreenTraces ScopeSession::screenTraces(const Edges& plot, const ChannelSamples& samples) const
{
    ScreenTraces screen;
    screen.plot = plot;
    screen.captureLength = captureLength_;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        TraceView& trace = screen.traces[static_cast<size_t>(c)];
        trace.shown = scale_.checked(c);
        trace.limits = limits_[static_cast<size_t>(c)];
        trace.samples = &samples[static_cast<size_t>(c)];
        trace.colour = ChannelInfo(c).colour;
    }
    return screen;
}

PrintPageInput ScopeSession::printInput(int viewWidth, int viewHeight, const ChannelSamples& samples,
                                        const std::tm& localTime) const
{
    PrintPageInput page;
    page.clientWidth = viewWidth;
    page.clientHeight = viewHeight;
    page.traces = screenTraces(ScopeLayout::ForView(viewWidth, viewHeight).plot, samples);
    std::array<bool, kScopeChannelCount> checked{};
    std::array<double, kScopeChannelCount> offsets{};
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const size_t i = static_cast<size_t>(c);
        checked[i] = scale_.checked(c);
        offsets[i] = limits_[i].verticalPosition;
        page.volDivColumn[i] = scale_.volDivValue(c);
        page.verticalColumn[i] = scale_.verticalField(c);
    }
    page.statistics = PrintStatistics(samples, checked, offsets, captureLength_);
    page.captureLength = captureLength_;
    page.localTime = localTime;
    return page;
}

ScopeSession::RunResult ScopeSession::run(int triggerSource)
{
    if (linkState().online != 1)
        return RunResult::Offline;
    const uint8_t mask = scale_.channelMask();
    if (mask == 0 || (triggerSource != 0 && !MaskSelects(mask, triggerSource - 1)))
        return RunResult::NoChannel;
    refreshChannels();
    switch (acquisition_.start(mask, triggerSource)) {
    case ScopeAcquisition::StartResult::Started: return RunResult::Started;
    case ScopeAcquisition::StartResult::NoPort: return RunResult::Offline;
    case ScopeAcquisition::StartResult::Refused: break;
    }
    return RunResult::Refused;
}

void ScopeSession::autoSet()
{
    for (int c = 0; c < kScopeChannelCount; ++c)
        if (scale_.checked(c))
            scale_.setVolDivIndex(c, AutoSetEntryIndex(c, buffers_.samples(c)));
    refreshChannels();
}

std::string ScopeSession::waveformText(const std::string& path, const std::tm& utc) const
{
    WaveformSettings settings;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const size_t i = static_cast<size_t>(c);
        settings.volDiv[i] = scale_.volDivEntry(c);
        settings.vertical[i] = scale_.verticalField(c);
        settings.checked[i] = scale_.checked(c);
    }
    settings.secDiv = scale_.secDiv();
    return WriteWaveformText(settings, buffers_.snapshot(), path, utc);
}

bool ScopeSession::saveWaveform(const std::string& path, const std::tm& utc) const
{
    return platform::writeFileAtomically(path, waveformText(path, utc));
}

ScopeSession::RecallResult ScopeSession::recall(const std::string& path, std::vector<int>* refused)
{
    std::string text;
    if (platform::readWholeFile(path, text) != platform::FileReadResult::Ok)
        return RecallResult::OpenFailed;
    for (int c = 0; c < kScopeChannelCount; ++c)
        scale_.setChecked(c, false);
    WaveformRecall file;
    if (!ReadWaveformText(text, file))
        return RecallResult::FormatError;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const size_t i = static_cast<size_t>(c);
        if (file.volDivText[i])
            scale_.selectVolDivText(c, *file.volDivText[i]);
        if (file.verticalText[i])
            scale_.setVerticalField(c, LeadingInteger(*file.verticalText[i]));
    }
    if (file.secDivText)
        scale_.selectSecDivText(*file.secDivText);
    for (WaveformRecall::Section& section : file.sections) {
        if (!scale_.setChecked(section.channel, true) && refused)
            refused->push_back(section.channel);
        buffers_.replace(section.channel, std::move(section.samples));
    }
    refreshChannels();
    return RecallResult::Loaded;
}

ScopeSession::CaptureResult ScopeSession::captureOnce(int triggerSource, int timeoutMs,
                                                      const std::function<bool()>& keepGoing)
{
    switch (run(triggerSource)) {
    case RunResult::Started: break;
    case RunResult::NoChannel: return CaptureResult::NoChannel;
    case RunResult::Offline: return CaptureResult::Offline;
    case RunResult::Refused: return CaptureResult::Refused;
    }
    const size_t full = static_cast<size_t>(captureLength_) + 1;
    auto complete = [&] {
        if (triggerSource != 0)
            return buffers_.captureCount() > 0;
        for (int c = 0; c < kScopeChannelCount; ++c)
            if (scale_.checked(c) && buffers_.size(c) < full)
                return false;
        return true;
    };
    const uint32_t start = platform::tickCount();
    CaptureResult result = CaptureResult::TimedOut;
    while (static_cast<int>(platform::tickCount() - start) < timeoutMs) {
        if (acquisition_.poll() != AcquisitionEnd::None) {
            result = CaptureResult::Ended;
            break;
        }
        if (complete()) {
            result = CaptureResult::Complete;
            break;
        }
        if (keepGoing && !keepGoing())
            break;
        platform::sleepMs(20);
    }
    stop();
    return result;
}
