#include "CTimeOut.h"

#include "platform/Ticks.h"

namespace {

uint32_t clampTo32Bits(unsigned long ms) {
    return ms > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

}  // namespace

CTimeOut::CTimeOut() : m_startTick(0), m_lastTick(0), m_timeOut(0) {}

CTimeOut::CTimeOut(unsigned long timeOutMs)
    : m_startTick(0), m_lastTick(0), m_timeOut(clampTo32Bits(timeOutMs)) {}

CTimeOut::~CTimeOut() = default;

void CTimeOut::SetTime(unsigned long timeOutMs) { m_timeOut = clampTo32Bits(timeOutMs); }

void CTimeOut::Reset() {
    m_startTick = platform::tickCount();
    m_lastTick = m_startTick;
}

int CTimeOut::IsTimeOut() {
    m_lastTick = platform::tickCount();
    const uint32_t elapsed = m_lastTick - m_startTick;  // unsigned: wraps correctly
    return elapsed > m_timeOut ? 1 : 0;
}
