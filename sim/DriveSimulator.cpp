#include "sim/DriveSimulator.h"

#include "sim/SignalGenerator.h"

#include <algorithm>

namespace drivesim {
namespace {

// Unpaced, records are made in batches of this many milliseconds so the
// loop does not wake for every one.
constexpr uint64_t kBatchUs = 10000;

}  // namespace

DriveSimulator::DriveSimulator(const DriveRegisters::Config& drive, const LineSettings& line,
                               const EepromFile* eeprom, const EepromFile::Image* savedImage)
    : line_(line),
      registers_(drive, eeprom, savedImage),
      slave_(registers_),
      output_(line.baud, line.paced),
      faults_(line.faults)
{
    line_.recordsPerSecond = std::max<uint32_t>(line_.recordsPerSecond, 1);
}

void DriveSimulator::receive(const uint8_t* data, size_t length, uint64_t nowUs)
{
    advance(nowUs);
    lastInputUs_ = nowUs;
    framer_.push(data, length);
    std::vector<uint8_t> frame;
    while (framer_.next(frame))
        answer(frame, nowUs);
}

void DriveSimulator::answer(const std::vector<uint8_t>& frame, uint64_t nowUs)
{
    ++counters_.requests;
    if (faults_.silent())
        return;
    const bool wasStreaming = registers_.channelMask() != 0;
    std::vector<uint8_t> reply = slave_.handle(frame.data(), frame.size());
    if (reply.empty() || !faults_.applyToAnswer(reply))
        return;
    ++counters_.answers;
    const uint64_t readyUs = nowUs + uint64_t(line_.latencyMs) * 1000;
    if (!wasStreaming && registers_.channelMask() != 0) {
        const uint64_t wireUs = line_.paced ? reply.size() * 10000000ull / line_.baud : 0;
        streamHoldUntilUs_ = readyUs + wireUs;
    }
    output_.queueAnswer(std::move(reply), readyUs);
}

uint64_t DriveSimulator::recordDueUs(uint64_t index) const
{
    return streamStartUs_ + index * 1000000ull / line_.recordsPerSecond;
}

void DriveSimulator::stream(uint64_t nowUs)
{
    const uint8_t mask = registers_.channelMask();
    if (mask == 0 || faults_.silent()) {
        streaming_ = false;
        return;
    }
    if (!streaming_) {
        if (nowUs < streamHoldUntilUs_)
            return;
        streaming_ = true;
        streamStartUs_ = nowUs;
        recordsDue_ = 0;
    }
    const uint64_t due = (nowUs - streamStartUs_) * line_.recordsPerSecond / 1000000ull + 1;
    // After a long stall, skip what can no longer be sent.
    if (due > recordsDue_ + OutputScheduler::kMaxRecordBacklog) {
        counters_.lostRecords += due - recordsDue_ - OutputScheduler::kMaxRecordBacklog;
        recordsDue_ = due - OutputScheduler::kMaxRecordBacklog;
    }
    for (; recordsDue_ < due; ++recordsDue_) {
        // The sample number is the drive's millisecond, so lost records
        // leave a gap rather than slowing the signals down.
        const uint64_t sample = recordsDue_ * 1000 / line_.recordsPerSecond;
        StreamPacker::Record record = StreamPacker::pack(mask, SignalGenerator::sampleAt(sample));
        if (!faults_.applyToRecord(record.data(), record.size()) ||
            !output_.queueRecord(record, recordDueUs(recordsDue_))) {
            ++counters_.lostRecords;
            continue;
        }
        ++counters_.records;
    }
}

void DriveSimulator::powerCycle()
{
    registers_.powerCycle();
    output_.clear();
    framer_.clear();
    streaming_ = false;
    streamHoldUntilUs_ = 0;
}

void DriveSimulator::advance(uint64_t nowUs)
{
    if (startUs_ == UINT64_MAX)
        startUs_ = nowUs;
    const uint32_t cycleAfterMs = registers_.config().powerCycleAfterMs;
    if (cycleAfterMs > 0 && !powerCycled_ && nowUs - startUs_ >= uint64_t(cycleAfterMs) * 1000) {
        powerCycled_ = true;
        powerCycle();
    }
    registers_.advance(nowUs / 1000);
    if (framer_.pending() > 0 && nowUs - lastInputUs_ >= uint64_t(line_.silenceResyncMs) * 1000) {
        for (const std::vector<uint8_t>& frame : framer_.flushStale())
            answer(frame, nowUs);
    }
    stream(nowUs);
}

uint64_t DriveSimulator::nextWakeUs() const
{
    uint64_t wake = output_.nextDueUs();
    if (framer_.pending() > 0)
        wake = std::min(wake, lastInputUs_ + uint64_t(line_.silenceResyncMs) * 1000);
    if (!streaming_ && registers_.channelMask() != 0 && streamHoldUntilUs_ > 0)
        wake = std::min(wake, streamHoldUntilUs_);
    const uint32_t cycleAfterMs = registers_.config().powerCycleAfterMs;
    if (cycleAfterMs > 0 && !powerCycled_ && startUs_ != UINT64_MAX)
        wake = std::min(wake, startUs_ + uint64_t(cycleAfterMs) * 1000);
    if (streaming_) {
        const uint64_t next = recordDueUs(recordsDue_);
        wake = std::min(wake, line_.paced ? next : std::max(next, recordDueUs(recordsDue_ - 1) + kBatchUs));
    }
    return wake;
}

}  // namespace drivesim
