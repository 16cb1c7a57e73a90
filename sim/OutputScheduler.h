#pragma once
// Orders what the drive sends: answers go out whole, between stream records
// (never inside one), after the drive's reply latency; when paced, bytes
// leave no faster than the wire carries them (10 bits a byte).

#include "sim/StreamPacker.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace drivesim {

// Outgoing byte queue with latency, interleaving and wire-rate pacing.
class OutputScheduler {
public:
    static constexpr size_t kMaxRecordBacklog = 64;
    static constexpr size_t kMaxAnswerBacklog = 256;

    OutputScheduler(uint32_t baud, bool paced);

    void queueAnswer(std::vector<uint8_t> frame, uint64_t readyUs);
    // False when the line is already that far behind: the record is lost,
    // as a drive overwrites samples it had no time to send.
    bool queueRecord(const StreamPacker::Record& record, uint64_t readyUs);
    // Forgets everything not yet begun on the wire; a frame already under
    // way still ends (the line cannot cut a byte stream short).
    void clear();
    // Appends the bytes that have left the drive by nowUs.
    void release(uint64_t nowUs, std::vector<uint8_t>& out);
    // When release() next has something to give; UINT64_MAX when idle.
    uint64_t nextDueUs() const;

    double byteTimeUs() const { return byteUs_; }
    size_t recordBacklog() const { return records_.size(); }

private:
    struct Chunk {
        std::vector<uint8_t> bytes;
        uint64_t readyUs;
    };
    bool pickNext(uint64_t nowUs);

    bool paced_;
    double byteUs_;
    double wireFreeUs_ = 0;  // end of the last byte's time on the wire
    std::deque<Chunk> answers_;
    std::deque<Chunk> records_;
    Chunk current_;
    size_t sent_ = 0;
};

}  // namespace drivesim
