#pragma once
// Receiving side of a drive's plot stream on a Modbus master: a polled block
// read, a decoder of the streamed 9-byte plot frames, and a 4096-byte FIFO
// that captures the stream and cuts Modbus frames out of it.

#include "CModbus.h"
#include "QDCommExport.h"

#include <cstdint>

class QDCOMM_API CCommPlot : public CModbus {
public:
    enum PlotResult { PlotDecoded = 0, PlotNeedMore = 1, PlotNoSync = 2, PlotCrcError = 3 };
    static constexpr int kPlotFrameLength = 9;
    static constexpr unsigned char kPlotSync = 0xC5;
    static constexpr unsigned char kExtractSync = 0x01;  // slave address of captured frames
    static constexpr int kReceiveCapacity = 256;
    static constexpr int kFifoCapacity = 4096;
    static constexpr int kFrameCapacity = 256;  // longest Modbus RTU frame
    static constexpr unsigned short kMaxReadDataCount = (kReceiveCapacity - 2) / 2;

    CCommPlot();
    ~CCommPlot();
    CCommPlot(const CCommPlot&) = default;
    CCommPlot& operator=(const CCommPlot&) = default;

    // Sends the command byte and reads `count` 16-bit values with a leading
    // byte and a sum byte. Counts above kMaxReadDataCount are refused.
    int ReadData(unsigned short command, unsigned short count, unsigned short* out);
    int ReadData2(unsigned short* stamp, short* values);
    unsigned char CheckSum(const unsigned char* data, int length) const;
    using CModbus::GarbageCollection;
    void GarbageCollection();

    int MB_Add(const unsigned char* data, int n);
    int MB_Read(unsigned char* out, int n);
    int MB_GetQueueCnt() const { return m_FifoCount; }
    // Frame lengths outside 4..kFrameCapacity are refused with 3.
    int MB_Extract(int frameLength);

    // The stream's own poll budget; the Modbus exchanges keep theirs
    // (CModbus::SetPreCountQueTimes).
    void SetPreCountQueTimes(unsigned long polls) { m_PlotPreCountQueTimes = static_cast<uint32_t>(polls); }
    unsigned long GetPreCountQueTimes() const { return m_PlotPreCountQueTimes; }
    // Non-zero: every byte ReadData2 reads is also appended to the FIFO.
    void SetCapture(int capture) { m_Capture = capture; }
    int GetCapture() const { return m_Capture; }
    // Copies the frame last cut out by MB_Extract; returns its length, or 0
    // when there is none or it does not fit `capacity`.
    int GetExtractedFrame(unsigned char* out, int capacity) const;
    int GetPlotHeld() const { return static_cast<int>(m_PlotHeld); }
    int GetExtractHeld() const { return static_cast<int>(m_ExtractHeld); }

private:
    bool ReadPlotBytes(unsigned char* into, unsigned long count);
    int TakeFromFifo(unsigned char* out, int n);

    uint32_t m_PlotPreCountQueTimes = 400;
    unsigned char m_Command[1] = {0};
    unsigned char m_Receive[kReceiveCapacity] = {};
    unsigned char m_PlotFrame[kPlotFrameLength] = {};  // apart, so ReadData cannot spoil held bytes
    unsigned char m_Fifo[kFifoCapacity] = {};
    int m_FifoCount = 0;
    unsigned char m_Frame[kFrameCapacity] = {};
    int m_FrameLength = 0;
    uint32_t m_PlotHeld = 0;  // 0: not synchronised
    int32_t m_Capture = 0;
    uint32_t m_ExtractHeld = 0;
    uint32_t m_LastQueueCount = 0;
};
