#pragma once
// A thin synchronous wrapper around one serial port: open by COM number,
// apply the four line settings, whole-buffer read and write, and a count of
// waiting input. Callers count first and read no more than is waiting.

#include "QDCommExport.h"

#include "platform/SerialSettings.h"

#include <cstdint>

// Snapshot of the port's queues, taken by a status query.
struct QDCOMM_API ComStat {
    uint32_t flags = 0;
    uint32_t cbInQue = 0;   // bytes waiting in the receive queue
    uint32_t cbOutQue = 0;  // bytes waiting to be sent
};

class QDCOMM_API CUARTComm {
public:
    CUARTComm();
    ~CUARTComm();  // leaves the port open; owners call CloseComPort
    CUARTComm(const CUARTComm&) = default;
    CUARTComm& operator=(const CUARTComm&) = default;

    // Opens "COM port" through the port table. 1 on success, 0 otherwise
    // (the reason goes to the user through the prompt seam).
    int OpenComPort(int port, platform::SerialSettings& settings);
    int CloseComPort();
    int UWrite(unsigned char* buffer, unsigned int length);
    int URead(unsigned char* buffer, unsigned int length);
    unsigned long PreCountInQue();

    ComStat m_ComStat;
    // Public on purpose: owners may assign a port they opened themselves.
    platform::PortHandle m_hComm;
};
