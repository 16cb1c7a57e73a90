#include "PollWindow.h"

#include "platform/SerialPort.h"

#include <algorithm>
#include <thread>

namespace qdcomm {

PollWindow::PollWindow(unsigned long polls)
    : m_Deadline(std::chrono::steady_clock::now() +
                 std::chrono::microseconds(kSliceUs) * (static_cast<uint64_t>(polls) + 1)) {}

bool PollWindow::Expired() const { return std::chrono::steady_clock::now() >= m_Deadline; }

void PollWindow::Pause(CUARTComm& port, unsigned long queued) const {
    if (queued == 0 && platform::isOpenHandle(port.m_hComm)) {
        platform::serialWaitReadable(port.m_hComm, kSliceUs);
        return;
    }
    // Input is arriving but not complete: readability would not block.
    std::this_thread::sleep_for(std::chrono::microseconds(kSliceUs));
}

unsigned long PollWindow::WaitForQueued(CUARTComm& port, unsigned long wanted,
                                        unsigned long polls) {
    using Clock = std::chrono::steady_clock;
    // While part of a reply has arrived, readability would not block: nap.
    constexpr auto kPartialReplyNap = std::chrono::microseconds(100);
    const auto deadline =
        Clock::now() + std::chrono::microseconds(kSliceUs) * (static_cast<uint64_t>(polls) + 1);
    uint32_t queued = 0;
    for (;;) {
        // A port that cannot be queried (closed, adapter pulled) will not
        // bring a reply: end the wait instead of polling a dead line.
        if (!platform::serialQueuedInput(port.m_hComm, queued)) return 0;
        if (queued >= wanted) return queued;
        const auto now = Clock::now();
        if (now >= deadline) return queued;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - now);
        if (queued == 0) {
            // Sleeps until the first byte comes, in slices of at most 1 ms. A
            // hung-up line returns at once: nap instead of spinning.
            const auto slice = std::min<std::chrono::microseconds>(left, std::chrono::milliseconds(1));
            if (!platform::serialWaitReadable(port.m_hComm, static_cast<int>(slice.count())) &&
                Clock::now() - now < slice / 2)
                std::this_thread::sleep_for(slice);
        } else {
            std::this_thread::sleep_for(std::min<std::chrono::microseconds>(left, kPartialReplyNap));
        }
    }
}

}  // namespace qdcomm
