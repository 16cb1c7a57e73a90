#include "sim/StreamPacker.h"

#include "comm/ModbusCrc.h"

#include <algorithm>

namespace drivesim {
namespace {

// The slot value as a two's-complement number of `bits` bits.
uint16_t field(int value, int bits)
{
    const int lo = -(1 << (bits - 1)), hi = (1 << (bits - 1)) - 1;
    return static_cast<uint16_t>(std::clamp(value, lo, hi)) & static_cast<uint16_t>((1u << bits) - 1);
}

}  // namespace

StreamPacker::Record StreamPacker::pack(uint8_t mask, const ScopeSample& sample)
{
    Record r{};
    r[0] = kMarker;
    // Selected channels fill the slots in mask-bit order.
    const int16_t byBit[4] = {sample.deviation, sample.speedCommand, sample.speed, sample.torque};
    int slot = 1;
    for (int bit = 0; bit < 4 && slot <= 3; ++bit) {
        if (!(mask & (1u << bit)))
            continue;
        if (slot == 1) {
            const int bits = bit == 0 ? 15 : 14;  // deviation gets one more bit
            const uint16_t v = field(byBit[bit], bits);
            r[1] = static_cast<uint8_t>(v >> 12);
            r[2] = static_cast<uint8_t>(v >> 4);
            r[3] = static_cast<uint8_t>((v & 0x0F) << 4);
        } else if (slot == 2) {
            const uint16_t v = field(byBit[bit], 14);
            r[3] |= static_cast<uint8_t>(v >> 10);
            r[4] = static_cast<uint8_t>(v >> 2);
            r[5] = static_cast<uint8_t>((v & 0x03) << 6);
        } else {
            const uint16_t v = field(byBit[bit], 14);
            r[5] |= static_cast<uint8_t>(v >> 8);
            r[6] = static_cast<uint8_t>(v & 0xFF);
        }
        ++slot;
    }
    qdcomm::appendModbusCrc(r.data(), r.size());
    return r;
}

}  // namespace drivesim
