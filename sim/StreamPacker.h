#pragma once
// Packs the scope signals selected by a channel mask into the drive's
// 9-byte stream record: marker 0xC5, six payload bytes, CRC low and high.

#include <array>
#include <cstdint>

namespace drivesim {

// One sample of the four scope signals, as raw counts.
struct ScopeSample {
    int16_t deviation = 0;     // mask bit 0, 15 bits when it rides in slot 1
    int16_t speedCommand = 0;  // mask bit 1
    int16_t speed = 0;         // mask bit 2
    int16_t torque = 0;        // mask bit 3
};

// Builds stream records.
class StreamPacker {
public:
    static constexpr uint8_t kMarker = 0xC5;
    static constexpr int kRecordSize = 9;
    using Record = std::array<uint8_t, kRecordSize>;

    // Valid masks select one to three channels (1-14).
    static bool validMask(uint8_t mask) { return mask >= 1 && mask <= 14; }
    // Values beyond a slot's width are clipped to it.
    static Record pack(uint8_t mask, const ScopeSample& sample);
};

}  // namespace drivesim
