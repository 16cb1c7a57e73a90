#include "sim/OutputScheduler.h"

#include <algorithm>

namespace drivesim {

OutputScheduler::OutputScheduler(uint32_t baud, bool paced, double recordPeriodUs)
    : paced_(paced),
      byteUs_(10.0 * 1e6 / std::max<uint32_t>(baud, 1)),
      maxRecordBacklog_(std::max<size_t>(8, static_cast<size_t>(kRecordBacklogUs / std::max(recordPeriodUs, 1.0))))
{
}

void OutputScheduler::queueAnswer(std::vector<uint8_t> frame, uint64_t readyUs)
{
    if (answers_.size() >= kMaxAnswerBacklog)
        answers_.pop_front();  // nobody is reading; keep the newest
    answers_.push_back({std::move(frame), readyUs});
}

bool OutputScheduler::queueRecord(const StreamPacker::Record& record, uint64_t readyUs)
{
    if (records_.size() >= maxRecordBacklog_)
        return false;
    records_.push_back({std::vector<uint8_t>(record.begin(), record.end()), readyUs, true});
    return true;
}

void OutputScheduler::clear()
{
    answers_.clear();
    records_.clear();
    if (sent_ == 0)
        current_.bytes.clear();
}

void OutputScheduler::dropRecords()
{
    records_.clear();
    if (current_.record && sent_ == 0)
        current_.bytes.clear();
}

bool OutputScheduler::pickNext(uint64_t nowUs)
{
    // A waiting answer goes before the next record.
    std::deque<Chunk>* from = nullptr;
    if (!answers_.empty() && answers_.front().readyUs <= nowUs)
        from = &answers_;
    else if (!records_.empty() && records_.front().readyUs <= nowUs)
        from = &records_;
    if (!from)
        return false;
    current_ = std::move(from->front());
    from->pop_front();
    sent_ = 0;
    return true;
}

void OutputScheduler::release(uint64_t nowUs, std::vector<uint8_t>& out)
{
    for (;;) {
        if (sent_ >= current_.bytes.size() && !pickNext(nowUs))
            return;
        if (!paced_) {
            out.insert(out.end(), current_.bytes.begin() + static_cast<std::ptrdiff_t>(sent_), current_.bytes.end());
            sent_ = current_.bytes.size();
            continue;
        }
        // A byte has arrived once its whole frame time has passed.
        const double end = std::max(wireFreeUs_, static_cast<double>(current_.readyUs)) + byteUs_;
        if (end > static_cast<double>(nowUs))
            return;
        out.push_back(current_.bytes[sent_++]);
        wireFreeUs_ = end;
    }
}

uint64_t OutputScheduler::nextDueUs() const
{
    uint64_t ready = UINT64_MAX;
    if (sent_ < current_.bytes.size())
        ready = current_.readyUs;
    else {
        if (!answers_.empty())
            ready = std::min(ready, answers_.front().readyUs);
        if (!records_.empty())
            ready = std::min(ready, records_.front().readyUs);
    }
    if (ready == UINT64_MAX || !paced_)
        return ready;
    return static_cast<uint64_t>(std::max(wireFreeUs_, static_cast<double>(ready)) + byteUs_ + 0.999);
}

}  // namespace drivesim
