#include "CModbus.h"

#include "ModbusCrc.h"
#include "PollWindow.h"

#include "platform/SerialExchangeLock.h"
#include "platform/SerialPort.h"
#include "platform/Ticks.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr unsigned char kReadCoils = 0x01;
constexpr unsigned char kReadHoldingRegisters = 0x03;
constexpr unsigned char kWriteMultipleCoils = 0x0F;
constexpr unsigned char kWriteMultipleRegisters = 0x10;
constexpr unsigned char kReportSlaveId = 0x11;

// Limits that keep every frame within its 8-bit length fields and the
// reply within 240 bytes.
constexpr unsigned kMaxReadCoilBytes = 235;
constexpr unsigned kMaxWriteCoilBytes = 246;
constexpr unsigned kMaxReadRegisters = 125;
constexpr unsigned kMaxWriteRegisters = 123;
constexpr unsigned kSlaveIdReplyLength = 28;
// Text bytes a 28-byte Report Slave ID reply can hold (offsets 5 to 25).
constexpr unsigned kMaxSlaveIdText = kSlaveIdReplyLength - 7;

// The longest a read of bytes already counted as waiting may take.
constexpr int kQueuedReadTimeoutMs = 200;

// The monitor's read position is one for the whole library; its mutex also
// guards the monitor lists.
struct MonitorCursor {
    std::mutex mutex;
    const void* list = nullptr;  // the list the cursor was last pointed into
    size_t cursor = 0;           // index of the next line to deliver
    size_t delivered = 0;
};

MonitorCursor& monitorCursor() {
    static MonitorCursor c;
    return c;
}

void putWord(unsigned char* at, unsigned short value) {
    at[0] = static_cast<unsigned char>(value >> 8);
    at[1] = static_cast<unsigned char>(value & 0xFF);
}

}  // namespace

CModbus::CModbus()
    : m_SlaveAddress(1),
      m_Monitor(std::make_shared<std::deque<std::string>>()),
      m_MonitorRestart(1),
      m_PreCountQueTimes(60000),
      m_RetryTimes(0),
      m_WaitWriteTime(0) {}

CModbus::~CModbus() = default;

int CModbus::Fail(Result why) {
    m_LastResult = why;
    return 0;
}

template <typename Exchange>
int CModbus::Retry(Exchange exchange) {
    const uint32_t attempts = std::max<uint32_t>(1, m_RetryTimes);
    for (uint32_t i = 0; i < attempts; ++i) {
        if (exchange()) return 1;
        if (m_LastResult == Result::InvalidRequest) break;  // would fail the same way
    }
    return 0;
}

void CModbus::SendRequest(unsigned char* frame, unsigned int length) {
    AppendCRC(frame, length);
    UWrite(frame, length);  // a failed write shows up as a missing reply
}

unsigned long CModbus::WaitForReply(unsigned long wanted) {
    const uint64_t polls = static_cast<uint64_t>(m_PreCountQueTimes) + 1;
    uint32_t queued = 0;
    // A port that cannot be queried (closed, adapter pulled) will not bring
    // a reply: end the wait instead of polling a dead line.
    auto count = [&] { return platform::serialQueuedInput(m_hComm, queued); };
    if (m_WaitWriteTime != 0) {
        for (uint64_t i = 0; i < polls; ++i) {
            platform::sleepMs(m_WaitWriteTime);
            if (!count()) return 0;
            if (queued >= wanted) break;
        }
        return queued;
    }
    return qdcomm::PollWindow::WaitForQueued(*this, wanted, m_PreCountQueTimes);
}

// ---- Read Coils -------------------------------------------------------------

int CModbus::ReadCoils(unsigned short start, unsigned short quantity, unsigned char* dest) {
    return Retry([&] { return _ReadCoils(start, quantity, dest); });
}

int CModbus::_ReadCoils(unsigned short start, unsigned short quantity, unsigned char* dest) {
    const platform::SerialExchangeLock oneAtATime;
    const unsigned dataBytes = (quantity + 7u) / 8u;
    if (dest == nullptr || quantity == 0 || dataBytes > kMaxReadCoilBytes)
        return Fail(Result::InvalidRequest);
    unsigned char request[8] = {m_SlaveAddress, kReadCoils};
    putWord(request + 2, start);
    putWord(request + 4, quantity);
    SendRequest(request, sizeof request);

    const unsigned long wanted = dataBytes + 5;
    const unsigned long n = WaitForReply(wanted);
    if (n <= 4) {
        GarbageCollection("RCoil: ", 0);
        return Fail(n == 0 ? Result::NoReply : Result::ShortReply);
    }
    unsigned char reply[kMaxReadCoilBytes + 5] = {};
    const unsigned long length = std::min(n, wanted);
    if (!URead(reply, static_cast<unsigned int>(length))) return Fail(Result::ShortReply);
    if (!CheckCRC(reply, static_cast<unsigned int>(length))) {
        DiscardAndLog("RCoil: ", 300, reply, static_cast<unsigned int>(length));
        return Fail(Result::BadCrc);
    }
    if (n != wanted) return Fail(n < wanted ? Result::WrongFunction : Result::LongReply);
    std::memcpy(dest, reply + 3, dataBytes);
    m_LastResult = Result::Ok;
    return 1;
}

// ---- Write Multiple Coils -------------------------------------------------

int CModbus::WriteMultipleCoils(unsigned short start, unsigned short quantity, unsigned char* packed) {
    return Retry([&] { return _WriteMultipleCoils(start, quantity, packed); });
}

int CModbus::_WriteMultipleCoils(unsigned short start, unsigned short quantity, unsigned char* packed) {
    const platform::SerialExchangeLock oneAtATime;
    const unsigned dataBytes = (quantity + 7u) / 8u;
    if (packed == nullptr || quantity == 0 || dataBytes > kMaxWriteCoilBytes)
        return Fail(Result::InvalidRequest);
    unsigned char request[kMaxWriteCoilBytes + 9] = {m_SlaveAddress, kWriteMultipleCoils};
    putWord(request + 2, start);
    putWord(request + 4, quantity);
    request[6] = static_cast<unsigned char>(dataBytes);
    std::memcpy(request + 7, packed, dataBytes);
    SendRequest(request, dataBytes + 9);
    return AwaitWriteEcho(kWriteMultipleCoils, "WCoil: ");
}

int CModbus::AwaitWriteEcho(unsigned char function, const char* tag) {
    // Fewer than 8 bytes stay queued: they are not read or logged.
    const unsigned long n = WaitForReply(8);
    if (n < 8) return Fail(n == 0 ? Result::NoReply : Result::ShortReply);
    unsigned char reply[8] = {};
    if (!URead(reply, sizeof reply)) return Fail(Result::ShortReply);
    const bool crcOk = CheckCRC(reply, sizeof reply) != 0;
    if (!crcOk || reply[1] != function) {
        DiscardAndLog(tag, 300, reply, sizeof reply);
        return Fail(crcOk ? Result::WrongFunction : Result::BadCrc);
    }
    m_LastResult = Result::Ok;
    return 1;
}

// ---- Read Holding Registers -----------------------------------------------

int CModbus::ReadHoldingRegisters(unsigned short start, unsigned short count, unsigned short* dest) {
    return Retry([&] { return _ReadHoldingRegisters(start, count, dest); });
}

int CModbus::_ReadHoldingRegisters(unsigned short start, unsigned short count, unsigned short* dest) {
    const platform::SerialExchangeLock oneAtATime;
    if (dest == nullptr || count == 0 || count > kMaxReadRegisters)
        return Fail(Result::InvalidRequest);
    unsigned char request[8] = {m_SlaveAddress, kReadHoldingRegisters};
    putWord(request + 2, start);
    putWord(request + 4, count);
    SendRequest(request, sizeof request);

    const unsigned long wanted = 2ul * count + 5;
    const unsigned long n = WaitForReply(wanted);
    if (n <= 6) {
        // An exception reply (5 bytes) ends here too, logged for the monitor.
        if (n >= 1) GarbageCollection("RReg: ", 0);
        return Fail(n == 0 ? Result::NoReply : Result::ShortReply);
    }
    unsigned char reply[2 * kMaxReadRegisters + 5] = {};
    const unsigned long length = std::min(n, wanted);
    if (!URead(reply, static_cast<unsigned int>(length))) return Fail(Result::ShortReply);
    if (!CheckCRC(reply, static_cast<unsigned int>(length))) {
        DiscardAndLog("RReg: ", m_WaitWriteTime, reply, static_cast<unsigned int>(length));
        return Fail(Result::BadCrc);
    }
    if (n != wanted) return Fail(n < wanted ? Result::ShortReply : Result::LongReply);
    for (unsigned j = 0; j < count; ++j)
        dest[j] = static_cast<unsigned short>(reply[3 + 2 * j] * 256 + reply[4 + 2 * j]);
    m_LastResult = Result::Ok;
    return 1;
}

// ---- Write Multiple Registers ----------------------------------------------

int CModbus::WriteMultipleRegisters(unsigned short start, unsigned short count, unsigned short* values) {
    return Retry([&] { return _WriteMultipleRegisters(start, count, values); });
}

namespace {
// Builds a 0x10 request into `frame`; returns its length, 0 when invalid.
unsigned int buildWriteRegisters(unsigned char* frame, unsigned char address, unsigned short start,
                                 unsigned short count, const unsigned short* values) {
    if (values == nullptr || count == 0 || count > kMaxWriteRegisters) return 0;
    frame[0] = address;
    frame[1] = kWriteMultipleRegisters;
    putWord(frame + 2, start);
    putWord(frame + 4, count);
    frame[6] = static_cast<unsigned char>(2 * count);
    for (unsigned j = 0; j < count; ++j) putWord(frame + 7 + 2 * j, values[j]);
    return 2u * count + 9;
}
}  // namespace

int CModbus::_WriteMultipleRegisters(unsigned short start, unsigned short count, unsigned short* values) {
    const platform::SerialExchangeLock oneAtATime;
    unsigned char request[2 * kMaxWriteRegisters + 9];
    const unsigned int length = buildWriteRegisters(request, m_SlaveAddress, start, count, values);
    if (length == 0) return Fail(Result::InvalidRequest);
    SendRequest(request, length);
    return AwaitWriteEcho(kWriteMultipleRegisters, "WReg: ");
}

int CModbus::Tx_WriteMultipleRegisters(unsigned short start, unsigned short count, unsigned short* values) {
    const platform::SerialExchangeLock oneAtATime;
    unsigned char request[2 * kMaxWriteRegisters + 9];
    const unsigned int length = buildWriteRegisters(request, m_SlaveAddress, start, count, values);
    if (length == 0) return Fail(Result::InvalidRequest);
    AppendCRC(request, length);
    return UWrite(request, length);
}

int CModbus::Rx_WriteMultipleRegisters(unsigned short start, unsigned short count, unsigned char* reply) {
    if (reply == nullptr) return 0;
    return reply[0] == 1 && reply[2] == start && reply[4] == count ? 1 : 0;
}

// ---- Report Slave ID ------------------------------------------------------

int CModbus::ReportSlaveID(char* text, unsigned char* length, unsigned char* slaveId,
                           unsigned char* runIndicator) {
    return Retry([&] { return _ReportSlaveID(text, length, slaveId, runIndicator); });
}

int CModbus::_ReportSlaveID(char* text, unsigned char* length, unsigned char* slaveId,
                            unsigned char* runIndicator) {
    const platform::SerialExchangeLock oneAtATime;
    if (text == nullptr || length == nullptr) return Fail(Result::InvalidRequest);
    unsigned char request[4] = {m_SlaveAddress, kReportSlaveId};
    SendRequest(request, sizeof request);

    const unsigned long n = WaitForReply(kSlaveIdReplyLength);
    if (n == 0) return Fail(Result::NoReply);
    if (n < kSlaveIdReplyLength) {
        GarbageCollection("RSlv: ", 0);
        return Fail(Result::ShortReply);
    }
    unsigned char reply[kSlaveIdReplyLength] = {};
    if (!URead(reply, sizeof reply)) return Fail(Result::ShortReply);
    if (!CheckCRC(reply, sizeof reply) || reply[1] != kReportSlaveId) {
        DiscardAndLog("RSlv: ", 300, reply, sizeof reply);
        return Fail(CheckCRC(reply, sizeof reply) ? Result::WrongFunction : Result::BadCrc);
    }
    if (slaveId) *slaveId = reply[3];
    if (runIndicator) *runIndicator = reply[4];
    const unsigned byteCount = reply[2];
    // The count must cover the id and run bytes and stay inside the frame,
    // or the copy below would read past the reply.
    if (byteCount < 2 || byteCount - 2 > kMaxSlaveIdText) return Fail(Result::BadLength);
    const unsigned textLength = byteCount - 2;
    if (*length < textLength) {
        *length = static_cast<unsigned char>(textLength);
        return Fail(Result::TextTooSmall);
    }
    std::memcpy(text, reply + 5, textLength);
    m_LastResult = Result::Ok;
    return 1;
}

// ---- CRC --------------------------------------------------------------------

unsigned int CModbus::CRC16(unsigned char* data, unsigned int length) {
    if (data == nullptr) length = 0;
    return qdcomm::modbusCrcWire(data, length);
}

void CModbus::AppendCRC(unsigned char* frame, unsigned int length) {
    if (frame != nullptr) qdcomm::appendModbusCrc(frame, length);
}

int CModbus::CheckCRC(unsigned char* frame, unsigned int length) {
    return frame != nullptr && qdcomm::checkModbusCrc(frame, length) ? 1 : 0;
}

// ---- Settings -----------------------------------------------------------------

void CModbus::SetRetryTimes(unsigned int times) { m_RetryTimes = times; }
unsigned int CModbus::GetRetryTimes() { return m_RetryTimes; }
void CModbus::SetWaitWriteTime(unsigned long ms) { m_WaitWriteTime = static_cast<uint32_t>(ms); }
unsigned long CModbus::GetWaitWriteTime() { return m_WaitWriteTime; }
void CModbus::SetPreCountQueTimes(unsigned long polls) { m_PreCountQueTimes = static_cast<uint32_t>(polls); }
unsigned long CModbus::GetPreCountQueTimes() { return m_PreCountQueTimes; }
void CModbus::SetSlaveAddress(unsigned char address) { m_SlaveAddress = address; }
unsigned char CModbus::GetSlaveAddress() { return m_SlaveAddress; }

// ---- Monitor ------------------------------------------------------------------

void CModbus::GarbageCollection(const char* tag, unsigned long wait) {
    DiscardAndLog(tag, wait, nullptr, 0);
}

void CModbus::DiscardAndLog(const char* tag, unsigned long wait, const unsigned char* alreadyRead,
                            unsigned int alreadyReadLength) {
    const platform::SerialExchangeLock oneAtATime;
    if (wait != 0) platform::sleepMs(wait);
    std::vector<unsigned char> bytes;
    if (alreadyRead) bytes.assign(alreadyRead, alreadyRead + alreadyReadLength);
    const unsigned long waiting = PreCountInQue();
    if (waiting > 0) {
        const size_t before = bytes.size();
        bytes.resize(before + waiting);
        if (!platform::serialRead(m_hComm, bytes.data() + before, waiting, kQueuedReadTimeoutMs))
            bytes.resize(before);
    }
    if (bytes.empty()) return;

    std::string line = tag ? tag : "";
    line.reserve(line.size() + 3 * bytes.size());
    char cell[4];
    for (unsigned char b : bytes) {
        std::snprintf(cell, sizeof cell, "%02X ", b);
        line += cell;
    }
    // One lock for the lists and the cursor: a reader on another thread may
    // take lines while an exchange logs.
    MonitorCursor& c = monitorCursor();
    std::lock_guard<std::mutex> lock(c.mutex);
    m_Monitor->push_back(std::move(line));
    if (m_Monitor->size() <= kMonitorCapacity) return;

    // A noisy line polled for hours must not eat the memory: drop the oldest
    // lines and move the read position with them.
    const size_t dropped = m_Monitor->size() - kMonitorCapacity;
    m_Monitor->erase(m_Monitor->begin(), m_Monitor->begin() + static_cast<long>(dropped));
    if (c.list == m_Monitor.get()) {
        c.cursor -= std::min(c.cursor, dropped);
        c.delivered -= std::min(c.delivered, dropped);
    }
}

void CModbus::MonitorInit() {
    std::lock_guard<std::mutex> lock(monitorCursor().mutex);
    m_Monitor->clear();
    m_MonitorRestart = 1;
}

int CModbus::MonitorGetPacket(std::string& out) {
    MonitorCursor& c = monitorCursor();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (m_MonitorRestart && !m_Monitor->empty()) {
        // A restart also restarts the count, or lines logged after
        // MonitorInit would be held back by the lines delivered before it.
        c.list = m_Monitor.get();
        c.cursor = 0;
        c.delivered = 0;
        m_MonitorRestart = 0;
    }
    if (c.delivered >= m_Monitor->size() || c.cursor >= m_Monitor->size()) return 0;
    out = (*m_Monitor)[c.cursor];
    ++c.delivered;
    // The cursor moves past the last line too, so a line appended later is
    // the next one delivered rather than the last one again.
    ++c.cursor;
    return 1;
}
