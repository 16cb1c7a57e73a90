#include "sim/RtuFramer.h"

#include "comm/ModbusCrc.h"

#include <algorithm>

namespace drivesim {
namespace {

constexpr size_t kMinFrame = 4;  // address, function, CRC

// One byte of CRC-16/MODBUS, for a CRC that grows with the candidate frame.
uint16_t crcStep(uint16_t crc, uint8_t byte)
{
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    return crc;
}

// Length of a request with this function code, 0 when it depends on a byte
// count not yet received, SIZE_MAX when the function is unknown.
size_t requestLength(const uint8_t* b, size_t size)
{
    switch (b[1]) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06:
        return 8;
    case 0x07: case 0x0B: case 0x0C: case 0x11:
        return 4;
    case 0x0F: case 0x10:
        return size < 7 ? 0 : 9u + b[6];
    default:
        return SIZE_MAX;
    }
}

}  // namespace

void RtuFramer::push(const uint8_t* data, size_t length)
{
    buffer_.insert(buffer_.end(), data, data + length);
}

RtuFramer::Scan RtuFramer::scan(size_t& frameLength) const
{
    if (buffer_.size() < kMinFrame)
        return Scan::NeedMore;
    const size_t wanted = requestLength(buffer_.data(), buffer_.size());
    if (wanted == SIZE_MAX) {
        // Unknown function: the frame ends where a CRC matches; it still
        // deserves an "illegal function" answer.
        // The CRC runs along the buffer once, so the scan stays linear.
        const size_t limit = std::min(buffer_.size(), kMaxFrame);
        uint16_t crc = crcStep(crcStep(0xFFFF, buffer_[0]), buffer_[1]);
        for (size_t len = kMinFrame; len <= limit; ++len) {
            if (buffer_[len - 2] == (crc & 0xFF) && buffer_[len - 1] == (crc >> 8)) {
                frameLength = len;
                return Scan::Frame;
            }
            crc = crcStep(crc, buffer_[len - 2]);
        }
        return buffer_.size() >= kMaxFrame ? Scan::Garbage : Scan::NeedMore;
    }
    if (wanted == 0 || buffer_.size() < wanted)
        return Scan::NeedMore;
    if (!qdcomm::checkModbusCrc(buffer_.data(), wanted))
        return Scan::Garbage;
    frameLength = wanted;
    return Scan::Frame;
}

size_t RtuFramer::laterFrameOffset() const
{
    for (size_t at = 1; at + kMinFrame <= buffer_.size(); ++at) {
        const size_t available = buffer_.size() - at;
        const uint8_t* view = buffer_.data() + at;
        const size_t wanted = requestLength(view, available);
        if (wanted == SIZE_MAX || wanted == 0 || wanted > available)
            continue;  // only requests of known length count as evidence
        if (qdcomm::checkModbusCrc(view, wanted))
            return at;
    }
    return 0;
}

void RtuFramer::dropFront(size_t count)
{
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count));
}

bool RtuFramer::next(std::vector<uint8_t>& frame)
{
    for (;;) {
        size_t length = 0;
        switch (scan(length)) {
        case Scan::NeedMore: {
            // The front may be noise that only silence would end; a complete
            // request further on shows it was.
            const size_t skip = laterFrameOffset();
            if (skip == 0)
                return false;
            dropFront(skip);
            dropped_ += skip;
            break;
        }
        case Scan::Garbage:
            dropFront(1);
            ++dropped_;
            break;
        case Scan::Frame:
            frame.assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(length));
            dropFront(length);
            return true;
        }
    }
}

std::vector<std::vector<uint8_t>> RtuFramer::flushStale()
{
    std::vector<std::vector<uint8_t>> frames;
    std::vector<uint8_t> frame;
    while (!buffer_.empty()) {
        if (next(frame)) {
            frames.push_back(frame);
            continue;
        }
        if (buffer_.empty())
            break;
        dropFront(1);
        ++dropped_;
    }
    return frames;
}

}  // namespace drivesim
