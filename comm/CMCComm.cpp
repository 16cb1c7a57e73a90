#include "CMCComm.h"

#include "PollWindow.h"
#include "platform/SerialPort.h"
#include "platform/Ticks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned char kReadParm = 0x03;
constexpr unsigned char kReadPositionBatch = 0x05;
constexpr unsigned char kSetAllFlags = 0x06;
constexpr unsigned char kSaveSerial = 0x08;
constexpr unsigned char kReadSerial = 0x09;
constexpr unsigned char kReadInfo = 0x0A;
constexpr unsigned char kSaveParm = 0x15;
constexpr size_t kReplyDataOffset = 3;

constexpr unsigned short kPositionBase = 200;
constexpr unsigned short kParmRegister = 80;
constexpr unsigned short kParm21Register = 83;
constexpr unsigned short kFlagCoils = 32;
constexpr unsigned short kAccFlagCoils = 192;
constexpr unsigned short kFlagCoilCount = 128;

int32_t bigEndian32(const unsigned char* bytes) {
    return static_cast<int32_t>(uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 |
                                uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]));
}

// Positions and 32-bit values sit in two registers, low word first.
int32_t fromWords(const unsigned short* words) {
    return static_cast<int32_t>(uint32_t(words[0]) | uint32_t(words[1]) << 16);
}

}  // namespace

CMCComm::CMCComm() : m_Beep([] { std::fputc('\a', stderr); }) {}
CMCComm::~CMCComm() = default;

void CMCComm::AppendCheckSum(unsigned char* buffer, int length) const {
    if (!buffer || length <= 0) return;
    unsigned sum = 0;
    for (int i = 1; i <= length - 2; ++i) sum += buffer[i];
    buffer[length - 1] = length < 3 ? 0 : static_cast<unsigned char>(sum);
}

void CMCComm::Beep() {
    if (m_Beep) m_Beep();
}

int CMCComm::SendFrame(unsigned char command, const unsigned char* data, unsigned char n) {
    std::vector<unsigned char> frame{kFrameStart, 0x00, command, n};
    if (n > 0) frame.insert(frame.end(), data, data + n);
    frame.push_back(0);
    AppendCheckSum(frame.data(), static_cast<int>(frame.size()));
    if (m_ByteWaitTime <= 0) return UWrite(frame.data(), static_cast<unsigned int>(frame.size())) ? 1 : 0;
    // A slow controller takes its frame one byte at a time.
    for (unsigned char& byte : frame) {
        if (!UWrite(&byte, 1)) return 0;
        platform::sleepMs(static_cast<unsigned long>(m_ByteWaitTime));
    }
    return 1;
}

int CMCComm::ReadWaiting() {
    m_ComStat.cbInQue = static_cast<uint32_t>(PreCountInQue());
    const unsigned long queued = m_ComStat.cbInQue;
    const unsigned long kept = std::min<unsigned long>(queued, kReplyCapacity);
    m_Reply.assign(kept, 0);
    if (kept > 0 && !URead(m_Reply.data(), static_cast<unsigned int>(kept))) {
        m_Reply.clear();
        return 0;
    }
    // More than any reply can hold is noise; drop it rather than keep it
    // for the next exchange.
    for (unsigned long left = queued - kept; left > 0;) {
        unsigned char chunk[256];
        const unsigned long part = std::min<unsigned long>(left, sizeof chunk);
        if (!URead(chunk, static_cast<unsigned int>(part))) return 0;
        left -= part;
    }
    return 1;
}

int CMCComm::Exchange(unsigned char command, const unsigned char* data, unsigned char n) {
    m_Reply.clear();
    if (!SendFrame(command, data, n)) return 0;
    platform::sleepMs(m_ReplyWaitMs);
    return ReadWaiting();
}

int CMCComm::ExchangeForAck(unsigned char command, const unsigned char* data, unsigned char n) {
    m_Reply.clear();
    if (!SendFrame(command, data, n)) return 0;
    platform::sleepMs(m_ReplyWaitMs);
    ReadWaiting();
    return WaitForAck() ? 1 : 0;
}

bool CMCComm::WaitForAck() {
    if (!m_Reply.empty() && m_Reply[0] == kAck) return true;
    for (int poll = 0; poll < kAckPolls; ++poll) {
        if (PreCountInQue() > 0) {
            ReadWaiting();
            break;
        }
        platform::sleepMs(m_AckPollMs);
    }
    return !m_Reply.empty() && m_Reply[0] == kAck;
}

int CMCComm::EM_ReadParm(char channel, int& value) {
    const unsigned char data = static_cast<unsigned char>(channel);
    int result = Exchange(kReadParm, &data, 1);
    // A short reply holds no value; never report stale bytes as one.
    if (result && m_Reply.size() >= kReplyDataOffset + 4)
        value = bigEndian32(m_Reply.data() + kReplyDataOffset);
    else
        result = 0;
    platform::sleepMs(m_ReplyWaitMs);
    m_ComStat.cbInQue = static_cast<uint32_t>(PreCountInQue());
    return result;
}

int CMCComm::EM_SaveParm(char channel, int value) {
    const auto v = static_cast<uint32_t>(value);
    const unsigned char data[5] = {static_cast<unsigned char>(channel),
                                   static_cast<unsigned char>(v >> 24),
                                   static_cast<unsigned char>(v >> 16),
                                   static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
    if (!ExchangeForAck(kSaveParm, data, sizeof data)) return 0;
    platform::sleepMs(m_ReplyWaitMs);
    m_ComStat.cbInQue = static_cast<uint32_t>(PreCountInQue());
    return 1;
}

int CMCComm::ReadDIOPositionBatch(unsigned char first, unsigned char count, int* out) {
    if (!out) return 0;
    const unsigned char data[2] = {first, count};
    m_Reply.clear();
    if (!SendFrame(kReadPositionBatch, data, 2)) return 0;
    const unsigned long expected = 4ul * count + 5;
    // The poll budget is the margin on top of the reply's time on the wire:
    // a whole batch takes 0.53 s at 19200 baud and 1.07 s at 9600.
    const unsigned long wirePolls =
        static_cast<unsigned long>(platform::serialWireTimeUs(m_hComm, expected) / qdcomm::PollWindow::kSliceUs);
    const unsigned long queued =
        qdcomm::PollWindow::WaitForQueued(*this, expected, m_PreCountQueTimes + wirePolls);
    m_ComStat.cbInQue = static_cast<uint32_t>(queued);
    if (queued < expected) {
        ReadWaiting();  // keep what came for inspection, fail
        return 0;
    }
    m_Reply.assign(expected, 0);
    if (!URead(m_Reply.data(), static_cast<unsigned int>(expected))) return 0;
    for (unsigned i = 0; i < count; ++i) out[i] = bigEndian32(m_Reply.data() + kReplyDataOffset + 4 * i);
    return 1;
}

int CMCComm::SetAllDIOFlag() {
    unsigned char data[kFlagBytes];
    std::memset(data, 0xFF, sizeof data);
    return ExchangeForAck(kSetAllFlags, data, sizeof data);
}

int CMCComm::SaveSerialData(const char* data) {
    if (!data) return 0;
    return ExchangeForAck(kSaveSerial, reinterpret_cast<const unsigned char*>(data), kSerialLength);
}

int CMCComm::ReadBlock(unsigned char command, size_t length, char* out) {
    if (!out) return 0;
    if (!Exchange(command, nullptr, 0) || m_Reply.size() < kReplyDataOffset + length) return 0;
    std::memcpy(out, m_Reply.data() + kReplyDataOffset, length);
    return 1;
}

int CMCComm::ReadSerialData(char* out) { return ReadBlock(kReadSerial, kSerialLength, out); }

int CMCComm::ReadInfoData(char* out) { return ReadBlock(kReadInfo, kInfoLength, out); }

int CMCComm::SaveDIOPosition(unsigned char n, int position) {
    const auto v = static_cast<uint32_t>(position);
    unsigned short words[2] = {static_cast<unsigned short>(v), static_cast<unsigned short>(v >> 16)};
    return WriteMultipleRegisters(static_cast<unsigned short>(kPositionBase + 2 * n), 2, words);
}

int CMCComm::ReadDIOPosition(unsigned char n, int& position) {
    unsigned short words[2] = {0, 0};
    if (!ReadHoldingRegisters(static_cast<unsigned short>(kPositionBase + 2 * n), 2, words)) {
        position = 0;
        return 0;
    }
    position = fromWords(words);
    return 1;
}

int CMCComm::SaveParm(char which, int value) {
    unsigned short word = static_cast<unsigned short>(value);
    if (which == 0) return WriteMultipleRegisters(kParmRegister, 1, &word);
    if (which == 21) return WriteMultipleRegisters(kParm21Register, 1, &word);
    return 0;
}

int CMCComm::LoopBackTest() {
    unsigned short one = 1;
    return WriteMultipleRegisters(kParmRegister, 1, &one);
}

int CMCComm::RetryRounds(const std::function<int()>& attempt, bool countFailures) {
    for (unsigned round = 0; round <= m_RetryRounds; ++round) {
        if (round > 0) {
            platform::sleepMs(m_RetryPauseMs);
            Beep();
            if (countFailures) ++m_FailedRounds;
        }
        if (attempt()) return 1;
    }
    return 0;
}

int CMCComm::ReadParm(char which, int& value) {
    // Each round is one exchange: the rounds are the retries here.
    std::function<int()> attempt;
    switch (which) {
    case 6:
        attempt = [&] {
            unsigned short words[2];
            if (!_ReadHoldingRegisters(100, 2, words)) return 0;
            value = fromWords(words);
            return 1;
        };
        break;
    case 17:
        attempt = [&] {
            unsigned short word;
            if (!_ReadHoldingRegisters(12, 1, &word)) return 0;
            value = word;
            return 1;
        };
        break;
    case 22:
        attempt = [&] {
            unsigned char bits[2];
            if (!_ReadCoils(0, 14, bits)) return 0;
            value = bits[0] | (bits[1] & 0x3F) << 8;
            return 1;
        };
        break;
    case 23:
        attempt = [&] {
            ++m_ReadCounter;
            unsigned short words[2];
            if (!_ReadHoldingRegisters(150, 2, words)) return 0;
            value = fromWords(words);
            return 1;
        };
        break;
    default:
        // Nothing to ask the controller: fail at once instead of pausing
        // through every retry round.
        return 0;
    }
    const int result = RetryRounds(attempt, true);
    if (!result) Beep();
    return result;
}

int CMCComm::WriteAllCoils(unsigned short start, unsigned char value) {
    unsigned char packed[kFlagBytes];
    std::memset(packed, value, sizeof packed);
    return WriteMultipleCoils(start, kFlagCoilCount, packed);
}

int CMCComm::ResetAccFlag() {
    return RetryRounds([this] { return WriteAllCoils(kAccFlagCoils, 0); }, false);
}

int CMCComm::ResetDIOFlag() {
    return RetryRounds([this] { return WriteAllCoils(kFlagCoils, 0); }, false);
}

int CMCComm::ReadDIOFlag(unsigned char* out) {
    if (!out) return 0;
    return RetryRounds([this, out] { return ReadCoils(kFlagCoils, kFlagCoilCount, out); }, false);
}

int CMCComm::ResetAllRegister() {
    unsigned short minusOne[2] = {0xFFFF, 0xFFFF};
    // At least one exchange per pair, also with RetryTimes 0: writing none
    // would leave the pairs untouched and still report the last write.
    const unsigned attempts = m_RetryTimes > 1 ? m_RetryTimes : 1;
    for (unsigned a = 1; a <= 128; a *= 2) {
        const auto start = static_cast<unsigned short>(kPositionBase + 2 * a);
        for (unsigned i = 0; i < attempts; ++i)
            if (_WriteMultipleRegisters(start, 2, minusOne)) break;
    }
    WriteMultipleRegisters(kPositionBase, 2, minusOne);
    return WriteMultipleRegisters(454, 2, minusOne);
}
