#pragma once
// Modbus RTU master on a CUARTComm port: read/write coils and holding
// registers and Report Slave ID, each as one exchange (underscore twin) and
// as a retrying operation; plus a log of discarded bytes (the monitor).

#include "CUARTComm.h"
#include "QDCommExport.h"

#include <deque>
#include <memory>
#include <string>

class QDCOMM_API CModbus : public CUARTComm {
public:
    // The monitor keeps at most this many lines; the oldest go first.
    static constexpr size_t kMonitorCapacity = 1000;

    // Why the last exchange ended as it did (the public results stay 1/0).
    enum class Result {
        Ok,
        InvalidRequest,  // beyond the Modbus limits, or a null buffer: nothing sent
        NoReply,         // nothing arrived within the poll budget
        ShortReply,      // fewer bytes than the reply needs
        LongReply,       // more bytes waited than the reply has; the surplus stays queued
        BadCrc,
        WrongFunction,   // a good frame of another function (an exception reply among them)
        BadLength,       // a byte count that does not fit the frame
        TextTooSmall,    // Report Slave ID text longer than the caller's buffer
    };
    Result LastResult() const { return m_LastResult; }

    CModbus();
    ~CModbus();
    CModbus(const CModbus&) = default;
    CModbus& operator=(const CModbus&) = default;

    int ReadCoils(unsigned short start, unsigned short quantity, unsigned char* dest);
    int _ReadCoils(unsigned short start, unsigned short quantity, unsigned char* dest);
    int WriteMultipleCoils(unsigned short start, unsigned short quantity, unsigned char* packed);
    int _WriteMultipleCoils(unsigned short start, unsigned short quantity, unsigned char* packed);
    int ReadHoldingRegisters(unsigned short start, unsigned short count, unsigned short* dest);
    int _ReadHoldingRegisters(unsigned short start, unsigned short count, unsigned short* dest);
    int WriteMultipleRegisters(unsigned short start, unsigned short count, unsigned short* values);
    int _WriteMultipleRegisters(unsigned short start, unsigned short count, unsigned short* values);
    int ReportSlaveID(char* text, unsigned char* length, unsigned char* slaveId,
                      unsigned char* runIndicator);
    int _ReportSlaveID(char* text, unsigned char* length, unsigned char* slaveId,
                       unsigned char* runIndicator);
    int Tx_WriteMultipleRegisters(unsigned short start, unsigned short count,
                                  unsigned short* values);
    int Rx_WriteMultipleRegisters(unsigned short start, unsigned short count,
                                  unsigned char* reply);

    unsigned int CRC16(unsigned char* data, unsigned int length);
    void AppendCRC(unsigned char* frame, unsigned int length);
    int CheckCRC(unsigned char* frame, unsigned int length);

    void SetRetryTimes(unsigned int times);
    unsigned int GetRetryTimes();
    void SetWaitWriteTime(unsigned long ms);
    unsigned long GetWaitWriteTime();
    void SetPreCountQueTimes(unsigned long polls);
    unsigned long GetPreCountQueTimes();
    void SetSlaveAddress(unsigned char address);
    unsigned char GetSlaveAddress();

    // Reads and logs whatever waits in the receive queue, after `wait` ms.
    void GarbageCollection(const char* tag, unsigned long wait);
    void MonitorInit();
    int MonitorGetPacket(std::string& out);

protected:
    // Polls the receive queue until `wanted` bytes wait or the poll budget
    // is spent; returns the count seen last.
    unsigned long WaitForReply(unsigned long wanted);
    // Sends a request frame whose last two bytes receive the CRC.
    void SendRequest(unsigned char* frame, unsigned int length);
    // Runs `exchange` up to max(1, RetryTimes) times until it succeeds.
    template <typename Exchange>
    int Retry(Exchange exchange);
    int Fail(Result why);
    // Waits for, reads and judges the 8-byte echo of a multiple write.
    int AwaitWriteEcho(unsigned char function, const char* tag);
    // GarbageCollection that also logs the bytes of a rejected reply that
    // were already read, so the line shows the whole discarded frame.
    void DiscardAndLog(const char* tag, unsigned long wait, const unsigned char* alreadyRead,
                       unsigned int alreadyReadLength);

    unsigned char m_SlaveAddress;
    std::shared_ptr<std::deque<std::string>> m_Monitor;
    int m_MonitorRestart;
    uint32_t m_PreCountQueTimes;
    uint32_t m_RetryTimes;
    uint32_t m_WaitWriteTime;
    Result m_LastResult = Result::Ok;
};
