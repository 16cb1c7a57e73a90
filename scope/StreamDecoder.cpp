#include "scope/StreamDecoder.h"

namespace {

// All sixteen masks worked out once: decoding is then a table look-up.
std::array<StreamSlots, 16> buildSlotTable()
{
    // Mask bits in the order the drive fills the slots.
    static const int kChannelOfBit[4] = {kDeviation, kCommand, kSpeed, kTorque};
    std::array<StreamSlots, 16> table{};
    for (int mask = 1; mask <= 14; ++mask) {
        StreamSlots& entry = table[static_cast<size_t>(mask)];
        for (int bit = 0; bit < 4; ++bit)
            if (mask & (1 << bit))
                entry.channel[static_cast<size_t>(entry.used++)] = kChannelOfBit[bit];
    }
    return table;
}

int16_t signExtend(unsigned value, unsigned signBit, unsigned fill)
{
    return static_cast<int16_t>(static_cast<uint16_t>((value & signBit) ? (value | fill) : value));
}

}  // namespace

StreamSlots SlotsOfMask(uint8_t mask)
{
    static const std::array<StreamSlots, 16> table = buildSlotTable();
    return mask < 16 ? table[mask] : StreamSlots{};
}

int16_t DecodeSlot(const uint8_t* d, int slot, bool wideFirstSlot)
{
    switch (slot) {
    case 1:
        if (wideFirstSlot)
            return signExtend(((d[0] & 7u) << 12) | (unsigned(d[1]) << 4) | (d[2] >> 4), 0x4000, 0x8000);
        return signExtend(((d[0] & 3u) << 12) | (unsigned(d[1]) << 4) | (d[2] >> 4), 0x2000, 0xC000);
    case 2:
        return signExtend(((d[2] & 15u) << 10) | (unsigned(d[3]) << 2) | (d[4] >> 6), 0x2000, 0xC000);
    case 3:
        return signExtend(((d[4] & 63u) << 8) | d[5], 0x2000, 0xC000);
    default:
        return 0;
    }
}

int DecodeStreamRecord(uint8_t mask, const uint8_t* payload, DecodedRecord& out)
{
    out.layout = SlotsOfMask(mask);
    const bool wide = out.layout.channel[0] == kDeviation;
    for (int k = 0; k < out.layout.used; ++k)
        out.value[static_cast<size_t>(k)] = DecodeSlot(payload, k + 1, wide);
    return out.layout.used;
}
