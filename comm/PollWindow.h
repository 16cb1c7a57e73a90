#pragma once
// The time a counted, sleepless poll of the receive queue may take: every
// poll gets a share of about 10 microseconds, so a budget of 60,000 polls is
// a window of about 0.6 s whatever the speed of the queue query.

#include "CUARTComm.h"

#include <chrono>

namespace qdcomm {

class PollWindow {
public:
    static constexpr int kSliceUs = 10;

    // A window for `polls` + 1 polls, starting now.
    explicit PollWindow(unsigned long polls);

    bool Expired() const;
    // Sleeps one slice, or less when input arrives on an empty queue.
    void Pause(CUARTComm& port, unsigned long queued) const;

    // Polls until `wanted` bytes wait or the window closes; returns the
    // count seen last (a failed query counts 0).
    static unsigned long WaitForQueued(CUARTComm& port, unsigned long wanted,
                                       unsigned long polls);

private:
    std::chrono::steady_clock::time_point m_Deadline;
};

}  // namespace qdcomm
