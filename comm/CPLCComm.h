#pragma once
// ASCII computer-link master for a programmable logic controller (format 1:
// ENQ, station "00", PC "FF", command, message wait, device, points, data,
// sum check): bit and word reads and writes on a CUARTComm port.

#include "CUARTComm.h"
#include "QDCommExport.h"

#include <cstdint>
#include <string>

class QDCOMM_API CPLCComm : public CUARTComm {
public:
    // Results of every operation.
    enum Result { PlcOk = 0, PlcNak = 1, PlcNoReply = 2, PlcError = 3 };
    static constexpr unsigned kMaxBitWrite = 160;  // points in one bit write
    static constexpr size_t kDeviceLength = 5;     // "D0100", "M0010"

    CPLCComm();
    ~CPLCComm();
    CPLCComm(const CPLCComm&) = default;
    CPLCComm& operator=(const CPLCComm&) = default;

    int PLC_BW1(const char* device, int bit);
    int PLC_BW(const char* device, unsigned char n, const char* data);
    int PLC_WW16(const char* device, unsigned long value);
    int PLC_DWW(const char* device, unsigned long value);
    int PLC_WR16(const char* device, unsigned char n, unsigned short* out);
    int _PLC_BR(const char* device, const char* count, int* out);
    int PLC_BR(const char* device, const char* count, int* out);
    int IsACK();

    // Two upper-case hexadecimal digits as a byte; 0 when they are not.
    unsigned char HexStr2Hex(const char* text) const;
    // Writes the two sum-check characters into the last two bytes.
    void SetCheckSum(unsigned char* buffer, int length) const;
    int IsCheckSumOk(const unsigned char* buffer, int length) const;

    void SetRetryTimes(unsigned int times) { m_RetryTimes = times; }
    unsigned int GetRetryTimes() const { return m_RetryTimes; }
    void SetPreCountQueTimes(unsigned long polls) { m_PreCountQueTimes = static_cast<uint32_t>(polls); }
    unsigned long GetPreCountQueTimes() const { return m_PreCountQueTimes; }
    // Pauses before the reply is counted (50 ms after a write, 100 ms after a
    // word read request); tests shorten them.
    void SetAckWaitTime(unsigned long ms) { m_AckWaitMs = ms; }
    void SetWordReplyWaitTime(unsigned long ms) { m_WordReplyWaitMs = ms; }
    // Error code carried by the last seven-byte NAK (0 when none was seen).
    unsigned char GetLastNakCode() const { return m_LastNakCode; }

private:
    // ENQ + text + sum check, written in one piece; false when the write failed.
    bool SendFrame(const std::string& text);
    // Reads `count` waiting bytes into `reply`, or drops them when it is null.
    bool ReadQueued(unsigned long count, std::string* reply);
    static bool IsDevice(const char* device);
    int WordWrite(const char* device, const char* points, const std::string& data);

    uint32_t m_PreCountQueTimes = 60000;
    uint32_t m_RetryTimes = 0;
    std::string m_MessageWait = "0";
    unsigned long m_AckWaitMs = 50;
    unsigned long m_WordReplyWaitMs = 100;
    unsigned char m_LastNakCode = 0;
};
