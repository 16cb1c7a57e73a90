#pragma once
// One scope window's state without its widgets: the Scale tab's settings,
// the trigger settings the worker reads, the display buffers and the
// acquisition, with Run, Stop, Auto Set, the waveform file and the print
// statistics. The view shows it; a command-line tool can run it alone.

#include "scope/PrintPage.h"
#include "scope/ScaleSettings.h"
#include "scope/ScopeAcquisition.h"
#include "scope/ScopeBuffers.h"
#include "scope/ScreenTraces.h"
#include "scope/WaveformFile.h"

#include <array>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

class ScopeSession {
public:
    enum class RunResult { Started, NoChannel, Refused, Offline };
    enum class RecallResult { Loaded, OpenFailed, FormatError };
    enum class CaptureResult { Complete, Refused, NoChannel, Offline, Ended, TimedOut };

    ScopeSession();

    ScaleSettings& scale() { return scale_; }
    const ScaleSettings& scale() const { return scale_; }
    LiveSettings& live() { return live_; }
    ScopeBuffers& buffers() { return buffers_; }
    const ScopeBuffers& buffers() const { return buffers_; }
    ScopeAcquisition& acquisition() { return acquisition_; }

    // The 100 ms refresh: the channel limits and the capture length from
    // the Scale settings.
    void refreshChannels();
    const ChannelLimits& limits(int channel) const { return limits_[static_cast<size_t>(channel)]; }
    int captureLength() const { return captureLength_; }
    // A drawing's input over a copy of the buffers (which must outlive it).
    ScreenTraces screenTraces(const Edges& plot, const ChannelSamples& samples) const;

    // The printed page of a view of that size, at that local time.
    PrintPageInput printInput(int viewWidth, int viewHeight, const ChannelSamples& samples,
                              const std::tm& localTime) const;

    // Starts the drive's stream and the worker: scanning when
    // `triggerSource` is 0, else triggering on channel triggerSource - 1,
    // which must be checked (NoChannel otherwise).
    RunResult run(int triggerSource);
    void stop() { acquisition_.stop(); }

    // Picks each checked channel's Vol/Div from its samples and applies it.
    void autoSet();

    // The file's bytes for the current settings and buffers.
    std::string waveformText(const std::string& path, const std::tm& utc) const;
    // Writes them (to a temporary name, renamed into place).
    bool saveWaveform(const std::string& path, const std::tm& utc) const;
    // Reads a file back: every channel is unchecked first, then the file's
    // settings are applied and each section's channel checked (a fourth is
    // refused and listed in `refused`) and its buffer replaced.
    RecallResult recall(const std::string& path, std::vector<int>* refused = nullptr);

    // Runs until one screen is full (scanning) or the first capture is
    // complete (triggering), then stops; for tools without a view.
    // `keepGoing`, when given, is asked every 20 ms; false ends the wait
    // as timed out.
    CaptureResult captureOnce(int triggerSource, int timeoutMs, const std::function<bool()>& keepGoing = {});

private:
    ScaleSettings scale_;
    LiveSettings live_;
    ScopeBuffers buffers_;
    ScopeAcquisition acquisition_{buffers_, live_};
    std::array<ChannelLimits, kScopeChannelCount> limits_;
    int captureLength_ = 500;
};
