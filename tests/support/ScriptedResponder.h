#pragma once
// A scripted device on the master side of a PtyPair, run by its own thread:
// it matches requests byte for byte and answers them, optionally late,
// paced at a baud rate, in chunks, corrupted, padded, or not at all. A
// handler, when set, sees every byte; otherwise the oldest unmet expect(),
// then the always() rules are tried; bytes matching nothing are dropped one
// at a time and counted. Every wait is bounded; the destructor joins.

#include "HexBytes.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace testsupport {

// What the device sends back, and how.
struct Answer {
    Answer() = default;
    explicit Answer(Bytes b) : bytes(std::move(b)) {}
    static Answer none() { Answer a; a.withhold = true; return a; }

    // Latency before the first byte.
    Answer& after(int ms) { delayMs = ms; return *this; }
    // One byte every 10 bit times (8N1) at this baud; 0 sends at once.
    Answer& paced(uint32_t b) { baud = b; return *this; }
    // Chunks of these sizes (the rest as a last chunk), `gap` ms apart.
    Answer& split(std::vector<size_t> sizes, int gap) { chunks = std::move(sizes); chunkGapMs = gap; return *this; }
    // Flips bits of the byte at `index` (ignored when out of range).
    Answer& corrupt(size_t index, uint8_t mask = 0xFF) { if (index < bytes.size()) bytes[index] ^= mask; return *this; }
    Answer& pad(const Bytes& extra) { bytes.insert(bytes.end(), extra.begin(), extra.end()); return *this; }

    Bytes bytes;
    int delayMs = 0;
    uint32_t baud = 0;
    std::vector<size_t> chunks;
    int chunkGapMs = 0;
    bool withhold = false;
};

class ScriptedResponder {
public:
    // Takes a request off `pending` (the unmatched input) and answers, or waits.
    using Handler = std::function<std::optional<Answer>(Bytes& pending)>;

    explicit ScriptedResponder(int masterFd);
    ~ScriptedResponder();
    ScriptedResponder(const ScriptedResponder&) = delete;
    ScriptedResponder& operator=(const ScriptedResponder&) = delete;

    // Answers the next arrival of `request`, once, in the order given.
    void expect(const Bytes& request, const Answer& answer);
    // Answers every arrival of `request` (after the expect() queue is empty).
    void always(const Bytes& request, const Answer& answer);
    void setHandler(Handler handler);
    // Sends bytes now, unasked (a stream, or noise on the line).
    void send(const Answer& answer);

    // Until `count` requests are answered (withheld answers count).
    bool waitAnswered(size_t count, int timeoutMs = 2000) const;
    // Until `count` bytes have come in.
    bool waitReceived(size_t count, int timeoutMs = 2000) const;
    // Until nothing is being sent and nothing waits to be sent.
    bool waitIdle(int timeoutMs = 2000) const;
    size_t unexpectedBytes() const;
    size_t pendingExpectations() const;
    // Every byte received so far, and every request matched, in order.
    Bytes received() const;
    std::vector<Bytes> requests() const;

    // Length of the Modbus RTU request heading `pending`; 0 while unknown.
    static size_t modbusRequestLength(const Bytes& pending);

private:
    struct Rule { Bytes request; Answer answer; };
    struct Outgoing { Answer answer; bool isReply; };  // a reply counts as answered once sent
    void run();
    bool matchPending(std::optional<Answer>& answer);
    void transmit(const Answer& answer);
    bool sleepUnlessStopping(std::chrono::steady_clock::time_point until);
    void writeAll(const uint8_t* data, size_t length);
    template <typename F>
    auto locked(F f) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return f();
    }

    const int fd_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<Rule> script_;
    std::vector<Rule> rules_;
    Handler handler_;
    std::deque<Outgoing> outbox_;
    Bytes pending_;
    Bytes received_;
    std::vector<Bytes> requests_;
    size_t answered_ = 0;
    size_t unexpected_ = 0;
    bool busy_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
