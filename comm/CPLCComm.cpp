#include "CPLCComm.h"

#include "PollWindow.h"
#include "platform/Ticks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned char kEnq = 0x05;
constexpr unsigned char kStx = 0x02;
constexpr unsigned char kEtx = 0x03;
constexpr unsigned char kAck = 0x06;
constexpr unsigned char kNak = 0x15;
constexpr size_t kAckLength = 5;  // ACK, station, PC
constexpr size_t kNakLength = 7;  // NAK, station, PC, error code

int hexDigit(char c, bool upperOnly) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (!upperOnly && c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads `digits` hexadecimal characters; false on any other character.
bool parseHex(const char* text, int digits, bool upperOnly, unsigned& value) {
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = hexDigit(text[i], upperOnly);
        if (d < 0) return false;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return true;
}

std::string hex2(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string hex4Lower(unsigned long value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04lx", value & 0xFFFFul);
    return text;
}

// STX, "00FF", payload, ETX, sum check: the frame a read is answered with.
bool isDataReply(const CPLCComm& plc, const std::string& reply, size_t payload) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(reply.data());
    return reply.size() == payload + 8 && bytes[0] == kStx && bytes[payload + 5] == kEtx &&
           plc.IsCheckSumOk(bytes, static_cast<int>(reply.size()));
}

}  // namespace

CPLCComm::CPLCComm() = default;
CPLCComm::~CPLCComm() = default;

unsigned char CPLCComm::HexStr2Hex(const char* text) const {
    unsigned value = 0;
    if (!text || !parseHex(text, 2, true, value)) return 0;
    return static_cast<unsigned char>(value);
}

void CPLCComm::SetCheckSum(unsigned char* buffer, int length) const {
    if (!buffer || length < 3) return;
    unsigned sum = 0;
    for (int i = 1; i <= length - 3; ++i) sum += buffer[i];
    const std::string text = hex2(sum);
    buffer[length - 2] = static_cast<unsigned char>(text[0]);
    buffer[length - 1] = static_cast<unsigned char>(text[1]);
}

int CPLCComm::IsCheckSumOk(const unsigned char* buffer, int length) const {
    if (!buffer || length < 3) return 0;
    unsigned sum = 0;
    for (int i = 1; i <= length - 3; ++i) sum += buffer[i];
    const std::string text = hex2(sum);
    return buffer[length - 2] == static_cast<unsigned char>(text[0]) &&
           buffer[length - 1] == static_cast<unsigned char>(text[1]);
}

bool CPLCComm::IsDevice(const char* device) {
    return device && std::strlen(device) == kDeviceLength;
}

bool CPLCComm::SendFrame(const std::string& text) {
    std::vector<unsigned char> frame;
    frame.reserve(text.size() + 3);
    frame.push_back(kEnq);
    frame.insert(frame.end(), text.begin(), text.end());
    frame.resize(frame.size() + 2);
    SetCheckSum(frame.data(), static_cast<int>(frame.size()));
    return UWrite(frame.data(), static_cast<unsigned int>(frame.size())) != 0;
}

bool CPLCComm::ReadQueued(unsigned long count, std::string* reply) {
    unsigned char chunk[512];
    while (count > 0) {
        const unsigned long part = count < sizeof chunk ? count : sizeof chunk;
        if (!URead(chunk, static_cast<unsigned int>(part))) return false;
        if (reply) reply->append(reinterpret_cast<const char*>(chunk), part);
        count -= part;
    }
    return true;
}

int CPLCComm::IsACK() {
    platform::sleepMs(m_AckWaitMs);
    const unsigned long queued = PreCountInQue();
    if (queued == 0) return PlcNoReply;
    std::string reply;
    if (!ReadQueued(queued, &reply)) return PlcError;
    const auto first = static_cast<unsigned char>(reply[0]);
    // The controller's NAK carries a two-character error code and is seven
    // bytes long; it is a refusal, not a garbled reply.
    if (reply.size() == kNakLength && first == kNak) {
        m_LastNakCode = HexStr2Hex(reply.data() + 5);
        return PlcNak;
    }
    if (reply.size() > kAckLength) return PlcError;
    if (reply.size() == kAckLength && first == kAck) return PlcOk;
    if (first == kNak) return PlcNak;
    return PlcError;
}

int CPLCComm::PLC_BW1(const char* device, int bit) {
    if (!IsDevice(device)) return PlcError;
    const std::string text = "00FFBW" + m_MessageWait + device + "01" + (bit ? "1" : "0");
    if (!SendFrame(text)) return PlcError;
    return IsACK();
}

int CPLCComm::PLC_BW(const char* device, unsigned char n, const char* data) {
    if (n > kMaxBitWrite || !IsDevice(device) || !data) return PlcError;
    // Every point is one character "0" or "1"; anything else would be sent
    // to the controller as a device state.
    for (unsigned i = 0; i < n; ++i)
        if (data[i] != '0' && data[i] != '1') return PlcError;
    const std::string text =
        "00FFBW" + m_MessageWait + device + hex2(n) + std::string(data, data + n);
    if (!SendFrame(text)) return PlcError;
    return IsACK();
}

int CPLCComm::WordWrite(const char* device, const char* points, const std::string& data) {
    if (!IsDevice(device)) return PlcError;
    if (!SendFrame("00FFWW" + m_MessageWait + device + points + data)) return PlcError;
    return IsACK();
}

int CPLCComm::PLC_WW16(const char* device, unsigned long value) {
    return WordWrite(device, "01", hex4Lower(value));
}

int CPLCComm::PLC_DWW(const char* device, unsigned long value) {
    return WordWrite(device, "02", hex4Lower(value) + hex4Lower(value >> 16));
}

int CPLCComm::PLC_WR16(const char* device, unsigned char n, unsigned short* out) {
    if (!IsDevice(device) || !out) return PlcError;
    if (!SendFrame("00FFWR" + m_MessageWait + device + hex2(n))) return PlcError;
    platform::sleepMs(m_WordReplyWaitMs);
    const unsigned long expected = 4ul * n + 8;
    unsigned long queued = PreCountInQue();
    // A long reply on a slow line may still be arriving after the pause.
    if (queued > 0 && queued < expected)
        queued = qdcomm::PollWindow::WaitForQueued(*this, expected, m_PreCountQueTimes);
    if (queued == 0) return PlcError;
    if (queued != expected) {
        if (queued > expected) ReadQueued(queued, nullptr);
        return PlcError;
    }
    std::string reply;
    if (!ReadQueued(expected, &reply) || !isDataReply(*this, reply, 4ul * n)) return PlcError;
    std::vector<unsigned short> words(n);
    for (unsigned i = 0; i < n; ++i) {
        unsigned value = 0;
        if (!parseHex(reply.data() + 5 + 4 * i, 4, false, value)) return PlcError;
        words[i] = static_cast<unsigned short>(value);
    }
    std::copy(words.begin(), words.end(), out);
    return PlcOk;
}

int CPLCComm::_PLC_BR(const char* device, const char* count, int* out) {
    unsigned n = 0;
    if (!IsDevice(device) || !count || !out || !parseHex(count, 2, true, n)) return PlcError;
    if (!SendFrame("00FFBR" + m_MessageWait + device + std::string(count, 2))) return PlcError;
    const unsigned long expected = n + 8;
    const unsigned long queued =
        qdcomm::PollWindow::WaitForQueued(*this, expected, m_PreCountQueTimes);
    if (queued != expected) {
        ReadQueued(queued, nullptr);
        return PlcError;
    }
    std::string reply;
    if (!ReadQueued(expected, &reply) || !isDataReply(*this, reply, n)) return PlcError;
    for (unsigned i = 0; i < n; ++i) {
        const char c = reply[5 + i];
        if (c != '0' && c != '1') return PlcError;
    }
    for (unsigned i = 0; i < n; ++i) out[i] = reply[5 + i] & 1;
    return PlcOk;
}

int CPLCComm::PLC_BR(const char* device, const char* count, int* out) {
    const unsigned attempts = m_RetryTimes > 1 ? m_RetryTimes : 1;
    int result = PlcError;
    for (unsigned i = 0; i < attempts; ++i) {
        result = _PLC_BR(device, count, out);
        if (result == PlcOk) break;
    }
    return result;
}
