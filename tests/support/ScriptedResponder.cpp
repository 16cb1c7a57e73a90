#include "ScriptedResponder.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace testsupport {

using Clock = std::chrono::steady_clock;

namespace {
// How long the thread waits for input before it looks at the outbox and the
// stop flag again.
constexpr int kPollSliceMs = 2;
// A master buffer that stays full this long (nobody reads the slave side)
// drops the rest of the answer instead of blocking the thread.
constexpr auto kWriteStall = std::chrono::milliseconds(1000);
}  // namespace

ScriptedResponder::ScriptedResponder(int masterFd)
    : fd_(masterFd), wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    thread_ = std::thread([this] { run(); });
}

ScriptedResponder::~ScriptedResponder() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    wake();
    if (thread_.joinable()) thread_.join();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void ScriptedResponder::wake() {
    if (wakeFd_ < 0) return;
    uint64_t one = 1;
    ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
    (void)ignored;
}

void ScriptedResponder::expect(const Bytes& request, const Answer& answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    script_.push_back({request, answer});
}

void ScriptedResponder::always(const Bytes& request, const Answer& answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.push_back({request, answer});
}

void ScriptedResponder::setHandler(Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
}

void ScriptedResponder::send(const Answer& answer) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        outbox_.push_back({answer, false});
    }
    changed_.notify_all();
    wake();
}

bool ScriptedResponder::waitAnswered(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return answered_ >= count; });
}

bool ScriptedResponder::waitIdle(int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return outbox_.empty() && !busy_; });
}

size_t ScriptedResponder::answered() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return answered_;
}

size_t ScriptedResponder::unexpectedBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return unexpected_;
}

size_t ScriptedResponder::pendingExpectations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return script_.size();
}

Bytes ScriptedResponder::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

std::vector<Bytes> ScriptedResponder::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

size_t ScriptedResponder::modbusRequestLength(const Bytes& pending) {
    if (pending.size() < 2) return 0;
    switch (pending[1]) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06:
        return 8;
    case 0x0F: case 0x10:
        return pending.size() < 7 ? 0 : 9u + pending[6];
    case 0x11:
        return 4;
    default:
        return 0;
    }
}

// Called with the mutex held. Returns true when it consumed input (an answer,
// possibly a withheld one, is then in `answer`) or dropped a stray byte.
bool ScriptedResponder::matchPending(std::optional<Answer>& answer) {
    answer.reset();
    if (pending_.empty()) return false;
    if (handler_) {
        const Bytes before = pending_;
        answer = handler_(pending_);
        if (!answer) return false;
        size_t used = before.size() - std::min(before.size(), pending_.size());
        requests_.emplace_back(before.begin(), before.begin() + static_cast<long>(used));
        return true;
    }
    auto startsWith = [&](const Bytes& request) {
        return pending_.size() >= request.size() &&
               std::equal(request.begin(), request.end(), pending_.begin());
    };
    auto couldBecome = [&](const Bytes& request) {
        return pending_.size() < request.size() &&
               std::equal(pending_.begin(), pending_.end(), request.begin());
    };
    auto take = [&](const Rule& rule) {
        requests_.push_back(rule.request);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(rule.request.size()));
        answer = rule.answer;
    };
    if (!script_.empty() && startsWith(script_.front().request)) {
        Rule rule = script_.front();
        script_.pop_front();
        take(rule);
        return true;
    }
    for (const Rule& rule : rules_) {
        if (startsWith(rule.request)) {
            take(rule);
            return true;
        }
    }
    bool waitForMore = !script_.empty() && couldBecome(script_.front().request);
    for (const Rule& rule : rules_) waitForMore = waitForMore || couldBecome(rule.request);
    if (waitForMore) return false;
    pending_.erase(pending_.begin());
    ++unexpected_;
    return true;
}

void ScriptedResponder::run() {
    uint8_t buffer[512];
    while (!stop_) {
        std::optional<Outgoing> next;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!outbox_.empty()) {
                next = outbox_.front();
                outbox_.pop_front();
                busy_ = true;
            }
        }
        if (next) {
            transmit(next->answer);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                busy_ = false;
                if (next->isReply) ++answered_;
            }
            changed_.notify_all();
            continue;
        }
        pollfd pfds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int rc = ::poll(pfds, wakeFd_ >= 0 ? 2 : 1, kPollSliceMs);
        if (rc > 0 && wakeFd_ >= 0 && (pfds[1].revents & POLLIN)) {
            uint64_t count;
            ssize_t ignored = ::read(wakeFd_, &count, sizeof count);
            (void)ignored;
        }
        if (rc <= 0 || !(pfds[0].revents & POLLIN)) continue;
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) continue;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pending_.insert(pending_.end(), buffer, buffer + n);
            received_.insert(received_.end(), buffer, buffer + n);
            std::optional<Answer> answer;
            while (matchPending(answer)) {
                if (!answer) continue;  // a stray byte was dropped
                if (answer->withhold)
                    ++answered_;
                else
                    outbox_.push_back({*answer, true});
            }
        }
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
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        pollfd pfd{fd_, POLLOUT, 0};
        ::poll(&pfd, 1, kPollSliceMs);
    }
}

void ScriptedResponder::transmit(const Answer& answer) {
    if (answer.withhold) return;
    auto next = Clock::now() + std::chrono::milliseconds(answer.delayMs);
    if (answer.delayMs > 0 && !sleepUnlessStopping(next)) return;
    const auto byteTime = std::chrono::nanoseconds(
        answer.baud ? 10'000'000'000LL / answer.baud : 0);
    size_t offset = 0;
    size_t chunkIndex = 0;
    while (offset < answer.bytes.size() && !stop_) {
        size_t size = chunkIndex < answer.chunks.size() ? answer.chunks[chunkIndex]
                                                        : answer.bytes.size() - offset;
        size = std::min(size, answer.bytes.size() - offset);
        if (answer.baud == 0) {
            writeAll(answer.bytes.data() + offset, size);
        } else {
            for (size_t i = 0; i < size && !stop_; ++i) {
                if (next > Clock::now() && !sleepUnlessStopping(next)) return;
                writeAll(answer.bytes.data() + offset + i, 1);
                next += byteTime;
            }
        }
        offset += size;
        ++chunkIndex;
        if (offset < answer.bytes.size() && answer.chunkGapMs > 0) {
            next = std::max(next, Clock::now()) + std::chrono::milliseconds(answer.chunkGapMs);
            if (!sleepUnlessStopping(next)) return;
        }
    }
}

}  // namespace testsupport
