#pragma once
// A millisecond time-out on the wrapping 32-bit tick count: Reset, then poll
// IsTimeOut while waiting for something else to happen.

#include "QDAuxiliaryExport.h"

#include <cstdint>

class QDAUX_API CTimeOut {
public:
    CTimeOut();
    // Lengths beyond 32 bits are held at the longest one (never times out).
    explicit CTimeOut(unsigned long timeOutMs);
    ~CTimeOut();

    void SetTime(unsigned long timeOutMs);
    void Reset();
    // 1 when more than the time-out has passed since Reset, else 0. The
    // difference is taken modulo 2^32, so a tick count that wraps is fine.
    int IsTimeOut();

private:
    uint32_t m_startTick;
    uint32_t m_lastTick;
    uint32_t m_timeOut;
};
