#include "ScriptedResponder.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace testsupport {

using Clock = std::chrono::steady_clock;

// The thread looks at the outbox and the stop flag at least this often.
constexpr int kPollSliceMs = 2;
// A master buffer full this long (nobody reading) drops the rest of an answer.
constexpr auto kWriteStall = std::chrono::milliseconds(1000);

ScriptedResponder::ScriptedResponder(int masterFd) : fd_(masterFd), thread_([this] { run(); }) {}

ScriptedResponder::~ScriptedResponder() {
    locked([&] { stop_ = true; });
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ScriptedResponder::expect(const Bytes& request, const Answer& answer) {
    locked([&] { script_.push_back({request, answer}); });
}

void ScriptedResponder::always(const Bytes& request, const Answer& answer) {
    locked([&] { rules_.push_back({request, answer}); });
}

void ScriptedResponder::setHandler(Handler handler) { locked([&] { handler_ = std::move(handler); }); }

void ScriptedResponder::send(const Answer& answer) {
    locked([&] { outbox_.push_back({answer, false}); });
    changed_.notify_all();
}

bool ScriptedResponder::waitAnswered(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return answered_ >= count; });
}

bool ScriptedResponder::waitReceived(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= count; });
}

bool ScriptedResponder::waitIdle(int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return outbox_.empty() && !busy_; });
}

size_t ScriptedResponder::unexpectedBytes() const { return locked([&] { return unexpected_; }); }
size_t ScriptedResponder::pendingExpectations() const { return locked([&] { return script_.size(); }); }
Bytes ScriptedResponder::received() const { return locked([&] { return received_; }); }
std::vector<Bytes> ScriptedResponder::requests() const { return locked([&] { return requests_; }); }

size_t ScriptedResponder::modbusRequestLength(const Bytes& pending) {
    if (pending.size() < 2) return 0;
    const uint8_t function = pending[1];
    if (function >= 0x01 && function <= 0x06) return 8;
    if (function == 0x0F || function == 0x10) return pending.size() < 7 ? 0 : 9u + pending[6];
    return function == 0x11 ? 4 : 0;
}

// Called with the mutex held. Returns true when it consumed input (an answer,
// possibly a withheld one, is then in `answer`) or dropped a stray byte.
bool ScriptedResponder::matchPending(std::optional<Answer>& answer) {
    answer.reset();
    if (pending_.empty()) return false;
    if (handler_) {
        const Bytes before = pending_;
        if (!(answer = handler_(pending_))) return false;
        const size_t left = std::min(before.size(), pending_.size());
        requests_.emplace_back(before.begin(), before.end() - static_cast<long>(left));
        return true;
    }
    // The oldest unmet expectation first, then the standing rules; a partial
    // match waits for more bytes unless a later candidate matches whole.
    std::vector<const Rule*> candidates;
    if (!script_.empty()) candidates.push_back(&script_.front());
    for (const Rule& rule : rules_) candidates.push_back(&rule);
    bool waitForMore = false;
    for (const Rule* rule : candidates) {
        const size_t n = std::min(rule->request.size(), pending_.size());
        if (!std::equal(pending_.begin(), pending_.begin() + static_cast<long>(n), rule->request.begin())) continue;
        if (n < rule->request.size()) { waitForMore = true; continue; }
        requests_.push_back(rule->request);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n));
        answer = rule->answer;
        if (!script_.empty() && rule == &script_.front()) script_.pop_front();
        return true;
    }
    if (waitForMore) return false;
    pending_.erase(pending_.begin());
    ++unexpected_;
    return true;
}

void ScriptedResponder::run() {
    uint8_t buffer[512];
    while (!stop_) {
        std::optional<Outgoing> next = locked([&]() -> std::optional<Outgoing> {
            if (outbox_.empty()) return std::nullopt;
            busy_ = true;
            Outgoing out = outbox_.front();
            outbox_.pop_front();
            return out;
        });
        if (next) {
            transmit(next->answer);
            locked([&] { busy_ = false; answered_ += next->isReply ? 1 : 0; });
            changed_.notify_all();
            continue;
        }
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, kPollSliceMs) <= 0 || !(pfd.revents & POLLIN)) continue;
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) continue;
        locked([&] {
            pending_.insert(pending_.end(), buffer, buffer + n);
            received_.insert(received_.end(), buffer, buffer + n);
            std::optional<Answer> answer;
            while (matchPending(answer)) {
                if (!answer) continue;  // a stray byte was dropped
                if (answer->withhold) ++answered_;
                else outbox_.push_back({*answer, true});
            }
        });
        changed_.notify_all();
    }
}

bool ScriptedResponder::sleepUnlessStopping(Clock::time_point until) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !changed_.wait_until(lock, until, [&] { return stop_.load(); });
}

void ScriptedResponder::writeAll(const uint8_t* data, size_t length) {
    size_t sent = 0;
    auto deadline = Clock::now() + kWriteStall;
    while (sent < length && !stop_ && Clock::now() < deadline) {
        ssize_t n = ::write(fd_, data + sent, length - sent);
        if (n > 0) { sent += static_cast<size_t>(n); continue; }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        pollfd pfd{fd_, POLLOUT, 0};
        ::poll(&pfd, 1, kPollSliceMs);
    }
}

void ScriptedResponder::transmit(const Answer& answer) {
    if (answer.withhold) return;
    auto next = Clock::now() + std::chrono::milliseconds(answer.delayMs);
    if (answer.delayMs > 0 && !sleepUnlessStopping(next)) return;
    const auto byteTime = std::chrono::nanoseconds(answer.baud ? 10'000'000'000LL / answer.baud : 0);
    size_t offset = 0;
    for (size_t chunk = 0; offset < answer.bytes.size() && !stop_; ++chunk) {
        size_t size = chunk < answer.chunks.size() ? answer.chunks[chunk] : answer.bytes.size() - offset;
        size = std::min(size, answer.bytes.size() - offset);
        const size_t step = answer.baud ? 1 : size;  // paced: one byte per 10 bit times
        for (size_t i = 0; i < size && !stop_; i += step) {
            if (!sleepUnlessStopping(next)) return;
            writeAll(answer.bytes.data() + offset + i, step);
            next += byteTime;
        }
        offset += size;
        if (offset < answer.bytes.size() && answer.chunkGapMs > 0) {
            next = std::max(next, Clock::now()) + std::chrono::milliseconds(answer.chunkGapMs);
            if (!sleepUnlessStopping(next)) return;
        }
    }
}

}  // namespace testsupport
