#include "sim/RtuFramer.h"

#include "comm/ModbusCrc.h"

#include <algorithm>

namespace drivesim {
namespace {

constexpr size_t kMinFrame = 4;  // address, function, CRC

// Length of a request with this function code, 0 when it depends on a byte
// count not yet received, SIZE_MAX when the function is unknown.
size_t requestLength(const std::vector<uint8_t>& b)
{
    switch (b[1]) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06:
        return 8;
    case 0x07: case 0x0B: case 0x0C: case 0x11:
        return 4;
    case 0x0F: case 0x10:
        return b.size() < 7 ? 0 : 9u + b[6];
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
    const size_t wanted = requestLength(buffer_);
    if (wanted == SIZE_MAX) {
        // Unknown function: the frame ends where a CRC matches; it still
        // deserves an "illegal function" answer.
        const size_t limit = std::min(buffer_.size(), kMaxFrame);
        for (size_t len = kMinFrame; len <= limit; ++len) {
            if (qdcomm::checkModbusCrc(buffer_.data(), len)) {
                frameLength = len;
                return Scan::Frame;
            }
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

void RtuFramer::dropFront(size_t count)
{
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count));
}

bool RtuFramer::next(std::vector<uint8_t>& frame)
{
    for (;;) {
        size_t length = 0;
        switch (scan(length)) {
        case Scan::NeedMore:
            return false;
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
