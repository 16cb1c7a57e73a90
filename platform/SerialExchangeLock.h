#pragma once
// One request/reply exchange at a time on the serial line that the program
// and the Waypad plug-in share. Each master holds this for the length of
// one exchange (request, wait, reply), so the plug-in's worker thread and
// the program's own exchanges take turns instead of interleaving on the
// line. Held only around an exchange, never while waiting for a person or
// another thread. Recursive: an exchange may flush or retry inside.

#include <mutex>

namespace platform {

class SerialExchangeLock {
public:
    SerialExchangeLock();
    ~SerialExchangeLock() = default;
    SerialExchangeLock(const SerialExchangeLock&) = delete;
    SerialExchangeLock& operator=(const SerialExchangeLock&) = delete;

private:
    std::unique_lock<std::recursive_mutex> lock_;
};

}  // namespace platform
