#pragma once
// The process-wide state of the program's drive link: the open port, the
// drive's station, the reply buffers that views read fields from, the scope's
// streaming flags, and the copies the plug-in reads through its link record.

#include "platform/SerialSettings.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace platform {
class WorkerGate;
}

constexpr size_t kReceiveBufferSize = 520;
constexpr size_t kLastReadReplySize = 255;
constexpr size_t kStreamRecordSize = 9;

// Why the last link operation failed; the public results stay 1 and 0.
enum class LinkFailure { None, NoPort, BadRequest, PortError, NoReply, WrongLength, BadCrc, EchoMismatch };

// Inputs of the command-wait dialog, set by its caller just before it opens.
struct CommandWaitRequest {
    std::string heading;
    std::string message;
    uint8_t colourMode = 0;      // 1 red on black, 2 yellow on black
    uint8_t targetRegister = 0;  // written with 1 until the drive accepts
};

struct LinkState {
    platform::PortHandle portHandle = platform::kNoPort;
    uint8_t slaveAddress = 0;
    int online = 0;

    // The last reply from its address byte on; the stream record area follows
    // it so a reader that runs past the reply stays inside the state.
    uint8_t receiveBuffer[kReceiveBufferSize] = {};
    uint8_t streamRecord[kStreamRecordSize] = {};
    // Whole reply of the last read-registers attempt, CRC included.
    uint8_t lastReadReply[kLastReadReplySize] = {};
    size_t lastReadReplyLength = 0;

    // Queued-input counts of the last status queries (exchanges, polled write).
    uint32_t exchangeQueuedInput = 0;
    uint32_t polledQueuedInput = 0;

    // Set by the scope while it acquires; read by the link and the worker.
    std::atomic<int> scanRunning{0};
    std::atomic<int> scopeRunning{0};
    std::atomic<int> triggerRunning{0};
    // The scope's acquisition worker, suspended around exchanges that need a
    // clean port (not owned; null while no scope runs).
    platform::WorkerGate* acquisitionWorker = nullptr;
    // Written to the channel-select register to (re)start the drive's stream.
    uint8_t channelMask = 0;
    // Pauses now in force (they nest: a view's pause may wrap an identification,
    // which pauses on its own); only the outermost pair stops and restarts.
    int streamPauseDepth = 0;

    CommandWaitRequest commandWait;

    // What the plug-in link record points at.
    platform::PortHandle pluginPortHandle = platform::kNoPort;
    uint8_t pluginSlaveAddress = 0;
    int pluginLinkUp = 0;

    LinkFailure lastFailure = LinkFailure::None;

    // When the last request left the port (steady-clock microseconds); a
    // reply window reaches at least a set time past it.
    std::atomic<int64_t> requestEndUs{0};

    bool streamingActive() const { return scanRunning.load() == 1 || triggerRunning.load() == 1; }
};

// The one instance, living for the whole run.
LinkState& linkState();
