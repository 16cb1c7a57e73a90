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
    // Records made but not yet on the wire: about 50 ms of them, so the
    // simulator's own scheduling delays lose nothing; beyond them samples the
    // line had no room for are lost, as a drive overwrites them. A stop drops
    // them all.
    static constexpr double kRecordBacklogUs = 50000;
    static constexpr size_t kMaxAnswerBacklog = 256;

    // `recordPeriodUs`: the stream's pace, which sets the record backlog.
    OutputScheduler(uint32_t baud, bool paced, double recordPeriodUs);
    size_t maxRecordBacklog() const { return maxRecordBacklog_; }

    void queueAnswer(std::vector<uint8_t> frame, uint64_t readyUs);
    // False when the line is already that far behind: the record is lost,
    // as a drive overwrites samples it had no time to send.
    bool queueRecord(const StreamPacker::Record& record, uint64_t readyUs);
    // Forgets everything not yet begun on the wire; a frame already under
    // way still ends (the line cannot cut a byte stream short).
    void clear();
    // Drops the records not yet begun on the wire (the stream was stopped).
    void dropRecords();
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
        bool record = false;
    };
    bool pickNext(uint64_t nowUs);

    bool paced_;
    double byteUs_;
    size_t maxRecordBacklog_;
    double wireFreeUs_ = 0;  // end of the last byte's time on the wire
    std::deque<Chunk> answers_;
    std::deque<Chunk> records_;
    Chunk current_;
    size_t sent_ = 0;
};

}  // namespace drivesim
