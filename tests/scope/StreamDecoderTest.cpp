// Stream records: slots and values of every mask, the worked payloads, sign extension.
#include "scope/StreamDecoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Packs values as the drive does, from the record layout rather than the decoder: slot 1 in
// D0..D2 (15 bits for Pulse Deviation, else 14), slot 2 in D2..D4, slot 3 in D4..D5.
std::array<uint8_t, 6> pack(int slot1, bool wide, int slot2, int slot3)
{
    const unsigned v1 = static_cast<unsigned>(slot1) & (wide ? 0x7FFFu : 0x3FFFu);
    const unsigned v2 = static_cast<unsigned>(slot2) & 0x3FFFu;
    const unsigned v3 = static_cast<unsigned>(slot3) & 0x3FFFu;
    return {uint8_t(v1 >> 12), uint8_t(v1 >> 4), uint8_t(((v1 & 0xF) << 4) | (v2 >> 10)),
            uint8_t(v2 >> 2), uint8_t(((v2 & 3) << 6) | (v3 >> 8)), uint8_t(v3)};
}

}  // namespace

// A channel in the wrong slot, or decoded from another slot's bits.
TEST(StreamDecoder, EveryMaskPlacesAndDecodesItsChannels)
{
    // S Speed, T Torque, D Pulse Deviation, C Speed Command, in slot order.
    const char* const expected[16] = {"", "D", "C", "DC", "S", "DS", "CS", "DCS",
                                      "T", "DT", "CT", "DCT", "ST", "DST", "CST", ""};
    const int valueOf[4] = {-6000, 2999, -12345, 5432};  // only Pulse Deviation's needs 15 bits
    for (int mask = 0; mask < 16; ++mask) {
        const StreamSlots layout = SlotsOfMask(uint8_t(mask));
        std::string got;
        int inSlot[3] = {0, 0, 0};
        for (int k = 0; k < layout.used; ++k) {
            got += "STDC"[layout.channel[k]];
            inSlot[k] = valueOf[layout.channel[k]];
        }
        EXPECT_EQ(got, expected[mask]) << "mask " << mask;
        const auto payload = pack(inSlot[0], layout.channel[0] == kDeviation, inSlot[1], inSlot[2]);
        DecodedRecord r;
        ASSERT_EQ(DecodeStreamRecord(uint8_t(mask), payload.data(), r), layout.used);
        for (int k = 0; k < layout.used; ++k)
            EXPECT_EQ(r.value[k], valueOf[r.layout.channel[k]]) << "mask " << mask << " slot " << k + 1;
    }
    EXPECT_EQ(SlotsOfMask(0x24).used, 0);  // a bit outside 0-3 selects nothing
}

// A sign bit taken from the wrong place, bits leaking between slots, the worked payloads misread.
TEST(StreamDecoder, SignExtensionAtEachSlotWidthAndTheWorkedPayloads)
{
    struct Row {
        int slot;
        bool wide;
        int value;
    };
    const Row rows[] = {
        {1, true, 16383}, {1, true, -16384}, {1, true, -1}, {1, true, 8192},   // 15 bits
        {1, false, 8191}, {1, false, -8192}, {1, false, -1}, {1, false, 0},    // 14 bits
        {2, false, 8191}, {2, false, -8192}, {2, false, -1}, {2, false, 1234},
        {3, false, 8191}, {3, false, -8192}, {3, false, -1}, {3, false, -4321},
    };
    for (const Row& row : rows) {
        // The other slots hold all ones.
        auto at = [&](int slot) { return row.slot == slot ? row.value : -1; };
        EXPECT_EQ(DecodeSlot(pack(at(1), row.wide, at(2), at(3)).data(), row.slot, row.wide), row.value)
            << "slot " << row.slot << (row.wide ? " wide" : "") << " value " << row.value;
    }
    // The worked payloads: a 15-bit slot 1 for Pulse Deviation only.
    const uint8_t payload[6] = {0x04, 0x00, 0x00, 0x01, 0x23, 0x40};
    DecodedRecord r;
    ASSERT_EQ(DecodeStreamRecord(5, payload, r), 2);
    EXPECT_EQ((std::vector<int>{r.layout.channel[0], r.value[0], r.layout.channel[1], r.value[1]}),
              (std::vector<int>{kDeviation, -16384, kSpeed, 4}));  // 15-bit 0x4000, sign bit set
    ASSERT_EQ(DecodeStreamRecord(6, payload, r), 2);
    EXPECT_EQ(r.value[0], 0);  // Speed Command: 14 bits, the bit above is not its own
    EXPECT_EQ(r.value[1], 4);
}
