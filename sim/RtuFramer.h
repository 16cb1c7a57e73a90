#pragma once
// Finds Modbus RTU request frames in a byte stream by their length and CRC,
// not by line silence. Bytes that start no valid frame are dropped one at a
// time, so the framer finds the next frame after garbage or a cut request.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace drivesim {

// Byte-stream to request-frame splitter for the slave side.
class RtuFramer {
public:
    static constexpr size_t kMaxFrame = 256;

    void push(const uint8_t* data, size_t length);
    // Takes the next complete frame out of the buffer; false when none is
    // complete yet.
    bool next(std::vector<uint8_t>& frame);
    // The line has gone quiet with bytes still waiting: they can no longer
    // become the frame they started, so drop them byte by byte, keeping any
    // frame found behind them. Returns the frames found.
    std::vector<std::vector<uint8_t>> flushStale();
    void clear() { buffer_.clear(); }

    size_t pending() const { return buffer_.size(); }
    uint64_t droppedBytes() const { return dropped_; }

private:
    enum class Scan { Frame, NeedMore, Garbage };
    Scan scan(size_t& frameLength) const;
    void dropFront(size_t count);
    // Where a complete, CRC-valid request of known length starts behind the
    // front of the buffer; 0 when there is none.
    size_t laterFrameOffset() const;

    std::vector<uint8_t> buffer_;
    uint64_t dropped_ = 0;
};

}  // namespace drivesim
