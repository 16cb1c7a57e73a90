#include "sim/DriveSimulator.h"

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
      recordPeriodUs_(recordPeriod(line)),
      registers_(drive, eeprom, savedImage),
      slave_(registers_),
      output_(line.baud, line.paced, recordPeriodUs_),
      faults_(line.faults),
      adapter_(line.usbBatchMs)
{
}

double DriveSimulator::recordPeriod(const LineSettings& line)
{
    // 9 bytes a record, 10 bits a byte: about 213 records a second at 19200.
    const double lineUs = StreamPacker::kRecordSize * 10.0 * 1e6 / std::max<uint32_t>(line.baud, 1);
    return std::max(1e6 / std::max<uint32_t>(line.recordsPerSecond, 1), lineUs);
}

void DriveSimulator::release(uint64_t nowUs, std::vector<uint8_t>& out)
{
    if (!adapter_.active()) {
        output_.release(nowUs, out);
        return;
    }
    std::vector<uint8_t> sent;
    output_.release(nowUs, sent);
    adapter_.push(sent);
    adapter_.take(nowUs, out);
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
    if (wasStreaming && registers_.channelMask() == 0)
        stopStream();  // before the echo is queued: nothing made earlier goes out after it
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
    return streamStartUs_ + static_cast<uint64_t>(static_cast<double>(index) * recordPeriodUs_);
}

void DriveSimulator::stopStream()
{
    // The drive stops at once: records made but not yet sent are dropped.
    output_.dropRecords();
    streaming_ = false;
}

void DriveSimulator::stream(uint64_t nowUs)
{
    const uint8_t mask = registers_.channelMask();
    if (mask == 0 || faults_.silent()) {
        if (streaming_)
            stopStream();
        return;
    }
    if (!streaming_) {
        if (nowUs < streamHoldUntilUs_)
            return;
        streaming_ = true;
        streamStartUs_ = nowUs;
        recordsDue_ = 0;
    }
    const uint64_t due = static_cast<uint64_t>(static_cast<double>(nowUs - streamStartUs_) / recordPeriodUs_) + 1;
    // After a long stall, skip what can no longer be sent.
    const size_t backlog = output_.maxRecordBacklog();
    if (due > recordsDue_ + backlog) {
        counters_.lostRecords += due - recordsDue_ - backlog;
        recordsDue_ = due - backlog;
    }
    for (; recordsDue_ < due; ++recordsDue_) {
        // The sample number is the drive's millisecond, which runs on across
        // stops and lost records: a gap, never a restart or a slowed signal.
        const uint64_t sample = recordDueUs(recordsDue_) / 1000;
        StreamPacker::Record record = StreamPacker::pack(mask, registers_.sampleAt(sample));
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
    uint64_t wake = std::min(output_.nextDueUs(), adapter_.nextDueUs());
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
