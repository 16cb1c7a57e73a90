#pragma once
// The command-wait loop without its window: on every tick, write 1 to the
// target register until the drive accepts it or 100 ticks have failed, with
// the scope's stream paused from the first tick until the end.

#include <cstdint>

class CommandWait {
public:
    static constexpr int kTickIntervalMs = 100;
    static constexpr int kMaxFailedTicks = 100;

    // The drive answers a command within 90 ms; a test may ask for less.
    explicit CommandWait(uint16_t replyWaitMs = 90) : replyWaitMs_(replyWaitMs) {}
    ~CommandWait();  // resumes a stream it paused, if it never finished

    // One tick. Returns true once the wait is over (accepted or given up).
    bool tick();
    bool finished() const { return finished_; }
    bool accepted() const { return accepted_; }
    int failedTicks() const { return failedTicks_; }

private:
    void finish(bool accepted);

    uint16_t replyWaitMs_;
    int failedTicks_ = 0;
    bool pausedStream_ = false;
    bool finished_ = false;
    bool accepted_ = false;
};
