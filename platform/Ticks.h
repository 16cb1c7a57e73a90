#pragma once
// Millisecond tick count and sleeps. The tick count wraps at 2^32 like the
// host counter the protocols were designed around; tests may replace its
// source to step time by hand.

#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t tickCount();
// Replaces the tick source; an empty function restores the steady clock.
void setTickSource(std::function<uint32_t()> source);

void sleepMs(unsigned long ms);
// Gives up the rest of the time slice (the zero-length sleep).
void yieldThread();

}  // namespace platform
