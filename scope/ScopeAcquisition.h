#pragma once
// The scope's acquisition: starts the drive's stream, runs one worker
// thread that reads it (scanning into rolling display buffers, or capturing
// around a trigger edge) and stops both again. The worker is registered in
// the link state so the link can park it around its own exchanges; it ends
// by itself when the run flags clear, and is joined before this object dies.

#include "platform/SerialSettings.h"
#include "platform/WorkerGate.h"
#include "scope/ScopeBuffers.h"
#include "scope/StreamDecoder.h"
#include "scope/TriggerCapture.h"

#include <atomic>
#include <functional>

// Settings the GUI keeps current while the acquisition runs; the worker
// reads them for every record.
struct LiveSettings {
    std::atomic<int> captureLength{500};
    std::atomic<int> horizontal{50};  // per cent ahead of the trigger sample
    std::atomic<int> level{10};       // trigger level, raw counts
};

// Why an acquisition ended without its owner's Stop.
enum class AcquisitionEnd {
    None,                  // still running, never started, or already reported
    StoppedElsewhere,      // the run flags were cleared (window closing, reconnect)
    PortFailed,            // the port's queue could not be queried (adapter pulled)
    DriveSilent,           // the stream stayed away after a restart
    HorizontalOutOfRange,  // the trigger's Horizontal value left 1..99
};

class ScopeAcquisition {
public:
    enum class StartResult { Started, Refused, NoPort };
    // Silence, in reader polls of 10 ms, after which the stream is restarted
    // once and after which the acquisition gives up.
    static constexpr uint32_t kRestartStalls = 99;
    static constexpr uint32_t kGiveUpStalls = 130;

    ScopeAcquisition(ScopeBuffers& buffers, LiveSettings& live);
    ~ScopeAcquisition();
    ScopeAcquisition(const ScopeAcquisition&) = delete;
    ScopeAcquisition& operator=(const ScopeAcquisition&) = delete;

    // Starts the drive's stream for `mask` and the worker: scanning when
    // `triggerSource` is 0, else triggering on channel triggerSource - 1.
    // Refused: the drive did not take the start (its stream is stopped
    // again and the buffers are untouched).
    StartResult start(uint8_t mask, int triggerSource);
    // Clears the run flags, joins the worker and stops the drive's stream.
    void stop();
    // On the owner's thread, often (every 100 ms): restarts a stalled
    // stream, and once the acquisition has ended other than by stop(),
    // joins the worker and says why (once).
    AcquisitionEnd poll();
    bool active() const { return started_; }
    int triggerSource() const { return triggerSource_; }

    // Called on the worker thread for every decoded record (tests, tools).
    void setRecordTap(std::function<void(const DecodedRecord&)> tap) { tap_ = std::move(tap); }

private:
    bool step();
    bool runFlagSet() const;
    void endBy(AcquisitionEnd reason);
    void joinWorker();
    void stopDriveStream();

    ScopeBuffers& buffers_;
    LiveSettings& live_;
    platform::WorkerGate gate_;
    platform::PortHandle port_ = platform::kNoPort;
    uint8_t mask_ = 0;
    int triggerSource_ = 0;
    bool started_ = false;
    int portFailures_ = 0;
    std::atomic<bool> restartWanted_{false};
    std::atomic<AcquisitionEnd> endReason_{AcquisitionEnd::None};
    TriggerCapture trigger_;
    std::function<void(const DecodedRecord&)> tap_;
};
