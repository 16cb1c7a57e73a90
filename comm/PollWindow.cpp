#include "PollWindow.h"

#include "platform/SerialPort.h"

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
    PollWindow window(polls);
    for (;;) {
        const unsigned long queued = port.PreCountInQue();
        if (queued >= wanted || window.Expired()) return queued;
        window.Pause(port, queued);
    }
}

}  // namespace qdcomm
