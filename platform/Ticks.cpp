#include "Ticks.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace platform {
namespace {

std::mutex sourceMutex;
std::function<uint32_t()>& source() {
    static std::function<uint32_t()> s;
    return s;
}

uint32_t steadyTicks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

uint32_t tickCount() {
    std::lock_guard<std::mutex> lock(sourceMutex);
    return source() ? source()() : steadyTicks();
}

void setTickSource(std::function<uint32_t()> s) {
    std::lock_guard<std::mutex> lock(sourceMutex);
    source() = std::move(s);
}

void sleepMs(unsigned long ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void yieldThread() { std::this_thread::yield(); }

}  // namespace platform
