#include "CCommPlot.h"

#include "ModbusCrc.h"
#include "PollWindow.h"

#include <algorithm>
#include <cstring>

namespace {

// After a rejected frame: moves the part from the first sync byte after its
// start to the front and returns its length (0 when there is none), so the
// next call goes on from there.
uint32_t KeepFromNextSync(unsigned char* frame, int length, unsigned char sync) {
    for (int j = 1; j < length; ++j) {
        if (frame[j] == sync) {
            std::memmove(frame, frame + j, static_cast<size_t>(length - j));
            return static_cast<uint32_t>(length - j);
        }
    }
    return 0;
}

}  // namespace

CCommPlot::CCommPlot() = default;
CCommPlot::~CCommPlot() = default;

unsigned char CCommPlot::CheckSum(const unsigned char* data, int length) const {
    if (!data || length < 3) return 0;
    unsigned sum = 0;
    for (int i = 1; i <= length - 2; ++i) sum += data[i];
    return static_cast<unsigned char>(sum);
}

void CCommPlot::GarbageCollection() {
    unsigned char chunk[256];
    for (unsigned long queued = PreCountInQue(); queued > 0; queued = PreCountInQue()) {
        const unsigned long part = std::min<unsigned long>(queued, sizeof chunk);
        if (!URead(chunk, static_cast<unsigned int>(part))) return;
    }
}

int CCommPlot::ReadData(unsigned short command, unsigned short count, unsigned short* out) {
    if (!out || count > kMaxReadDataCount) return 0;
    m_Command[0] = static_cast<unsigned char>(command & 0xFF);
    if (!UWrite(m_Command, 1)) return 0;
    const unsigned long expected = 2ul * count + 2;
    const unsigned long queued =
        qdcomm::PollWindow::WaitForQueued(*this, expected, m_PlotPreCountQueTimes);
    m_LastQueueCount = static_cast<uint32_t>(queued);
    if (queued < expected) return 0;
    if (!URead(m_Receive, static_cast<unsigned int>(expected))) return 0;
    const int length = static_cast<int>(expected);
    if (m_Receive[length - 1] != CheckSum(m_Receive, length) || queued > expected) {
        GarbageCollection();
        return 0;
    }
    for (unsigned j = 0; j < count; ++j)
        out[j] = static_cast<unsigned short>(m_Receive[1 + 2 * j] << 8 | m_Receive[2 + 2 * j]);
    return 1;
}

bool CCommPlot::ReadPlotBytes(unsigned char* into, unsigned long count) {
    if (!URead(into, static_cast<unsigned int>(count))) return false;
    if (m_Capture) MB_Add(into, static_cast<int>(count));
    return true;
}

int CCommPlot::ReadData2(unsigned short* stamp, short* values) {
    if (m_PlotHeld == 0) {
        // Hunt for the sync byte, one byte per poll.
        qdcomm::PollWindow window(m_PlotPreCountQueTimes);
        for (unsigned long poll = 0; poll <= m_PlotPreCountQueTimes; ++poll) {
            const unsigned long queued = PreCountInQue();
            m_LastQueueCount = static_cast<uint32_t>(queued);
            if (queued > 0) {
                if (!ReadPlotBytes(m_PlotFrame, 1)) break;
                if (m_PlotFrame[0] == kPlotSync) {
                    m_PlotHeld = 1;
                    break;
                }
                continue;
            }
            if (window.Expired()) break;
            window.Pause(*this, queued);
        }
        if (m_PlotHeld == 0)
            return m_LastQueueCount < static_cast<uint32_t>(kPlotFrameLength) ? PlotNeedMore
                                                                             : PlotNoSync;
    }

    const unsigned long needed = kPlotFrameLength - m_PlotHeld;
    const unsigned long queued =
        qdcomm::PollWindow::WaitForQueued(*this, needed, m_PlotPreCountQueTimes);
    m_LastQueueCount = static_cast<uint32_t>(queued);
    if (queued < needed) return PlotNeedMore;
    if (!ReadPlotBytes(m_PlotFrame + m_PlotHeld, needed)) return PlotNeedMore;

    const unsigned char* f = m_PlotFrame;
    if (qdcomm::checkModbusCrc(f, kPlotFrameLength)) {
        m_PlotHeld = 0;
        if (stamp) *stamp = static_cast<unsigned short>(f[1] >> 3);
        if (values) {
            values[0] = static_cast<short>((f[1] & 0x07) << 12 | f[2] << 4 | f[3] >> 4);
            values[1] = static_cast<short>((f[3] & 0x0F) << 10 | f[4] << 2 | f[5] >> 6);
            values[2] = static_cast<short>((f[5] & 0x3F) << 8 | f[6]);
        }
        return PlotDecoded;
    }
    m_PlotHeld = KeepFromNextSync(m_PlotFrame, kPlotFrameLength, kPlotSync);
    return PlotCrcError;
}

int CCommPlot::MB_Add(const unsigned char* data, int n) {
    if (!data || n <= 0) return 0;
    const int appended = std::min(n, kFifoCapacity - m_FifoCount);
    std::memcpy(m_Fifo + m_FifoCount, data, static_cast<size_t>(appended));
    m_FifoCount += appended;
    return appended;
}

int CCommPlot::TakeFromFifo(unsigned char* out, int n) {
    const int taken = std::min(std::max(n, 0), m_FifoCount);
    if (taken == 0) return 0;
    std::memcpy(out, m_Fifo, static_cast<size_t>(taken));
    std::memmove(m_Fifo, m_Fifo + taken, static_cast<size_t>(m_FifoCount - taken));
    m_FifoCount -= taken;
    return taken;
}

int CCommPlot::MB_Read(unsigned char* out, int n) { return out ? TakeFromFifo(out, n) : 0; }

int CCommPlot::MB_Extract(int frameLength) {
    if (frameLength < 4 || frameLength > kFrameCapacity) return PlotCrcError;
    // A held tail longer than the frame now asked for cannot start it.
    if (m_ExtractHeld >= static_cast<uint32_t>(frameLength)) m_ExtractHeld = 0;
    if (m_ExtractHeld == 0 && m_FifoCount > 0) {
        m_FrameLength = 0;
        TakeFromFifo(m_Frame, 1);
        if (m_Frame[0] == kExtractSync) m_ExtractHeld = 1;
    }
    if (m_ExtractHeld == 0) return m_FifoCount < frameLength ? PlotNeedMore : PlotNoSync;
    const int needed = frameLength - static_cast<int>(m_ExtractHeld);
    if (m_FifoCount < needed) return PlotNeedMore;
    m_FrameLength = 0;
    TakeFromFifo(m_Frame + m_ExtractHeld, needed);
    m_ExtractHeld = 0;
    if (qdcomm::checkModbusCrc(m_Frame, static_cast<size_t>(frameLength))) {
        m_FrameLength = frameLength;
        return PlotDecoded;
    }
    m_ExtractHeld = KeepFromNextSync(m_Frame, frameLength, kExtractSync);
    return PlotCrcError;
}

int CCommPlot::GetExtractedFrame(unsigned char* out, int capacity) const {
    if (!out || m_FrameLength == 0 || capacity < m_FrameLength) return 0;
    std::memcpy(out, m_Frame, static_cast<size_t>(m_FrameLength));
    return m_FrameLength;
}
