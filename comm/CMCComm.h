#pragma once
// Master for a motion controller that speaks two protocols on one port: its
// own short checksum frames (parameters by channel, position batches, serial
// and information blocks, flag sets) and Modbus RTU for its position table,
// coil flags and a few registers.

#include "CModbus.h"
#include "QDCommExport.h"

#include <cstdint>
#include <functional>
#include <vector>

class QDCOMM_API CMCComm : public CModbus {
public:
    static constexpr unsigned char kFrameStart = 0x05;
    static constexpr unsigned char kAck = 0x06;
    static constexpr int kSerialLength = 32;
    static constexpr int kInfoLength = 27;
    static constexpr int kFlagBytes = 16;  // 128 coils
    // The longest reply: a batch of 255 positions.
    static constexpr int kReplyCapacity = 4 * 255 + 5;

    CMCComm();
    ~CMCComm();
    CMCComm(const CMCComm&) = default;
    CMCComm& operator=(const CMCComm&) = default;

    // Checksum protocol.
    int EM_ReadParm(char channel, int& value);
    int EM_SaveParm(char channel, int value);
    // Waits for the reply's wire time at the port's rate plus the poll budget.
    int ReadDIOPositionBatch(unsigned char first, unsigned char count, int* out);
    int SetAllDIOFlag();
    int SaveSerialData(const char* data);
    int ReadSerialData(char* out);
    int ReadInfoData(char* out);
    // Writes the sum of bytes 1 .. length-2 into the last byte (0 below 3).
    void AppendCheckSum(unsigned char* buffer, int length) const;

    // Modbus. SaveDIOPosition, ReadDIOPosition, SaveParm and LoopBackTest
    // use the retrying master (up to max(1, RetryTimes) exchanges).
    int SaveDIOPosition(unsigned char n, int position);
    int ReadDIOPosition(unsigned char n, int& position);
    int SaveParm(char which, int value);
    int LoopBackTest();
    // Up to retry rounds + 1 rounds of one exchange each, 300 ms and a beep
    // between rounds (counted as failed rounds), one more beep on giving up.
    int ReadParm(char which, int& value);
    // Up to retry rounds + 1 rounds, each up to max(1, RetryTimes) exchanges.
    int ResetAccFlag();
    int ResetDIOFlag();
    int ReadDIOFlag(unsigned char* out);
    // Writes -1 to the pairs 200 + 2a (a = 1, 2, 4 ... 128), each up to
    // RetryTimes exchanges but at least once (also with RetryTimes 0), then
    // to 200-201 and 454-455 through the retrying master; the result of the
    // last write.
    int ResetAllRegister();

    void SetByteWaitTime(int ms) { m_ByteWaitTime = ms; }
    int GetByteWaitTime() const { return m_ByteWaitTime; }
    void SetRetryRounds(unsigned char rounds) { m_RetryRounds = rounds; }
    unsigned char GetRetryRounds() const { return m_RetryRounds; }
    int GetReadCounter() const { return m_ReadCounter; }
    int GetFailedRounds() const { return m_FailedRounds; }

    // Pauses of the checksum protocol and the retry rounds; tests shorten
    // them. Defaults: 100 ms for a reply, 50 ms between acknowledgement
    // polls, 300 ms between retry rounds.
    void SetReplyWaitTime(unsigned long ms) { m_ReplyWaitMs = ms; }
    void SetAckPollTime(unsigned long ms) { m_AckPollMs = ms; }
    void SetRetryPauseTime(unsigned long ms) { m_RetryPauseMs = ms; }
    // Called for each audible warning of the retry rounds (default: a bell
    // on the terminal).
    void SetBeepHandler(std::function<void()> beep) { m_Beep = std::move(beep); }
    // The bytes of the last checksum-protocol reply.
    const std::vector<unsigned char>& LastReply() const { return m_Reply; }

private:
    // Sends one checksum-protocol frame, pauses, and reads what waits.
    int Exchange(unsigned char command, const unsigned char* data, unsigned char n);
    // Asks for a fixed-length block and copies it from the reply's data.
    int ReadBlock(unsigned char command, size_t length, char* out);
    int SendFrame(unsigned char command, const unsigned char* data, unsigned char n);
    int ReadWaiting();
    // Exchange, then wait for a late 0x06; 1 only when it came.
    int ExchangeForAck(unsigned char command, const unsigned char* data, unsigned char n);
    bool WaitForAck();
    // Repeats `attempt` in up to retry-rounds + 1 rounds, pausing and beeping
    // between them.
    int RetryRounds(const std::function<int()>& attempt, bool countFailures);
    int WriteAllCoils(unsigned short start, unsigned char value);
    void Beep();

    int m_ByteWaitTime = 0;
    uint8_t m_RetryRounds = 20;
    int m_ReadCounter = 0;
    int m_FailedRounds = 0;
    unsigned long m_ReplyWaitMs = 100;
    unsigned long m_AckPollMs = 50;
    unsigned long m_RetryPauseMs = 300;
    static constexpr int kAckPolls = 10;
    std::function<void()> m_Beep;
    std::vector<unsigned char> m_Reply;
};
