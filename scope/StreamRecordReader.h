#pragma once
// The streaming receiver: takes one lead byte at a time off the link's port
// while more than 1024 bytes wait (so the tool runs about 114 records behind
// the drive), recognises stream records, Modbus answers and stray bytes, and
// counts everything in the scope's diagnostics.

#include "platform/SerialSettings.h"

#include <cstdint>

enum class StreamReadResult {
    Record,       // a record passed its CRC; it is in the link's record area
    StrayByte,    // a lead byte that starts nothing was dropped
    OtherFrame,   // a Modbus answer went to the link's receive buffer
    CrcError,     // a record failed its CRC and was dropped
    NoData,       // 1024 bytes or fewer wait; the reader paused 10 ms
    Stalled,      // as NoData, after 99, 199, ... polls of an unchanged queue:
                  // the drive's stream should be restarted
    PortFailure,  // the port's queue cannot be queried (closed, adapter pulled)
};

// Bytes that must wait before the reader consumes any.
constexpr uint32_t kStreamBacklogBytes = 1024;
// The reader's pause on a short queue.
constexpr unsigned kStreamPollMs = 10;

StreamReadResult ReadStreamRecord(platform::PortHandle port);
