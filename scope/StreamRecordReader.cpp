#include "scope/StreamRecordReader.h"

#include "link/LinkFrames.h"
#include "link/LinkState.h"
#include "platform/SerialPort.h"
#include "platform/Ticks.h"
#include "scope/ScopeDiagnostics.h"
#include "scope/StreamDecoder.h"

#include <cstring>

namespace {

// The bytes are queued when a read starts; only a purge by the link between
// the count and the read can take them away, and then new ones are due.
constexpr int kQueuedReadTimeoutMs = 20;
constexpr uint32_t kStallsPerRestart = 100;

bool readBytes(platform::PortHandle port, uint8_t* into, size_t length)
{
    return platform::serialRead(port, into, length, kQueuedReadTimeoutMs);
}

// A Modbus answer from station 1 met in the stream goes to the link's
// receive buffer whole, where the waiting request finds it. Its CRC is the
// link's business.
void takeAnswer(platform::PortHandle port)
{
    uint8_t frame[3 + 255 + 2] = {0x01};
    if (!readBytes(port, frame + 1, 1))
        return;
    const uint8_t function = frame[1];
    size_t length = 0;
    if (function == 0x03 || function == 0x01) {
        if (!readBytes(port, frame + 2, 1) || !readBytes(port, frame + 3, size_t(frame[2]) + 2))
            return;
        length = size_t(frame[2]) + 5;
    } else if (function == 0x06) {
        if (!readBytes(port, frame + 2, 6))
            return;
        length = 8;
    } else {
        return;
    }
    std::memcpy(linkState().receiveBuffer, frame, length);
}

}  // namespace

StreamReadResult ReadStreamRecord(platform::PortHandle port)
{
    ScopeDiagnostics& counters = scopeDiagnostics();
    uint32_t queued = 0;
    if (!platform::serialQueuedInput(port, queued))
        return StreamReadResult::PortFailure;
    counters.inputQueue = queued;

    if (queued <= kStreamBacklogBytes) {
        platform::sleepMs(kStreamPollMs);
        uint32_t now = 0;
        if (!platform::serialQueuedInput(port, now))
            return StreamReadResult::PortFailure;
        if (now == queued)
            ++counters.stallCount;
        else
            counters.stallCount = 0;
        return (counters.stallCount + 1) % kStallsPerRestart == 0 ? StreamReadResult::Stalled
                                                                   : StreamReadResult::NoData;
    }

    uint8_t record[kStreamRecordSize] = {};
    if (!readBytes(port, record, 1))
        return StreamReadResult::NoData;  // purged under us; the next call sees
    ++counters.leadBytes;
    if (record[0] == 0x01) {
        takeAnswer(port);
        return StreamReadResult::OtherFrame;
    }
    if (record[0] != kStreamMarker)
        return StreamReadResult::StrayByte;
    if (!readBytes(port, record + 1, kStreamRecordSize - 1) || !LinkCrcMatches(record, kStreamRecordSize - 2)) {
        ++counters.crcFailures;
        return StreamReadResult::CrcError;
    }
    std::memcpy(linkState().streamRecord, record, kStreamRecordSize);
    ++counters.records;
    return StreamReadResult::Record;
}
