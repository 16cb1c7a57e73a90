// Stream records: the slot layout of every mask, the worked payloads,
// sign extension at each slot width.
#include "scope/StreamDecoder.h"

#include <gtest/gtest.h>

namespace {

// Packs values the way the drive does, written from the record layout
// rather than from the decoder: slot 1 in D0..D2 (15 bits for Pulse
// Deviation, else 14), slot 2 in D2..D4, slot 3 in D4..D5.
std::array<uint8_t, 6> pack(int slot1, bool wide, int slot2, int slot3)
{
    const unsigned v1 = static_cast<unsigned>(slot1) & (wide ? 0x7FFFu : 0x3FFFu);
    const unsigned v2 = static_cast<unsigned>(slot2) & 0x3FFFu;
    const unsigned v3 = static_cast<unsigned>(slot3) & 0x3FFFu;
    return {static_cast<uint8_t>(v1 >> 12), static_cast<uint8_t>(v1 >> 4),
            static_cast<uint8_t>(((v1 & 0xF) << 4) | (v2 >> 10)), static_cast<uint8_t>(v2 >> 2),
            static_cast<uint8_t>(((v2 & 3) << 6) | (v3 >> 8)), static_cast<uint8_t>(v3)};
}

const char* const kName[] = {"Speed", "Torque", "Deviation", "Command"};

}  // namespace

TEST(StreamDecoder, SlotAssignmentOfEveryMask)
{
    // S Speed, T Torque, D Pulse Deviation, C Speed Command, in slot order.
    const char* const expected[16] = {"", "D", "C", "DC", "S", "DS", "CS", "DCS",
                                      "T", "DT", "CT", "DCT", "ST", "DST", "CST", ""};
    for (int mask = 0; mask < 16; ++mask) {
        const StreamSlots layout = SlotsOfMask(static_cast<uint8_t>(mask));
        std::string got;
        for (int k = 0; k < layout.used; ++k)
            got += "STDC"[layout.channel[static_cast<size_t>(k)]];
        EXPECT_EQ(got, expected[mask]) << "mask " << mask;
    }
    EXPECT_EQ(SlotsOfMask(0x24).used, 0);  // a bit outside 0-3 selects nothing
}

TEST(StreamDecoder, WorkedPayloads)
{
    const uint8_t payload[6] = {0x04, 0x00, 0x00, 0x01, 0x23, 0x40};
    DecodedRecord r;
    ASSERT_EQ(DecodeStreamRecord(5, payload, r), 2);
    EXPECT_EQ(r.layout.channel[0], kDeviation);
    EXPECT_EQ(r.value[0], -16384);  // 15-bit 0x4000, sign bit set
    EXPECT_EQ(r.layout.channel[1], kSpeed);
    EXPECT_EQ(r.value[1], 4);
    ASSERT_EQ(DecodeStreamRecord(6, payload, r), 2);
    EXPECT_EQ(r.value[0], 0);  // Speed Command: 14 bits, the bit above is not its own
    EXPECT_EQ(r.value[1], 4);
    const uint8_t low[6] = {0, 0, 0, 0, 0x20, 0x00};
    const uint8_t high[6] = {0, 0, 0, 0, 0x1F, 0xFF};
    EXPECT_EQ(DecodeSlot(low, 3, false), -8192);
    EXPECT_EQ(DecodeSlot(high, 3, false), 8191);
    EXPECT_EQ(DecodeStreamRecord(15, payload, r), 0);  // all four: nothing decodes
    EXPECT_EQ(DecodeStreamRecord(0, payload, r), 0);
}

TEST(StreamDecoder, SignExtensionAtEachSlotWidth)
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
        // The other slots hold all ones, so no bit may leak between slots.
        const auto payload = pack(row.slot == 1 ? row.value : -1, row.wide, row.slot == 2 ? row.value : -1,
                                  row.slot == 3 ? row.value : -1);
        EXPECT_EQ(DecodeSlot(payload.data(), row.slot, row.wide), row.value)
            << "slot " << row.slot << (row.wide ? " wide" : "") << " value " << row.value;
    }
}

TEST(StreamDecoder, EveryMaskDecodesItsChannelsValues)
{
    // Distinct values per channel; only Pulse Deviation's needs 15 bits,
    // and it always rides in slot 1.
    const int valueOf[4] = {-6000, 2999, -12345, 5432};
    for (int mask = 1; mask <= 14; ++mask) {
        const StreamSlots layout = SlotsOfMask(static_cast<uint8_t>(mask));
        int inSlot[3] = {0, 0, 0};
        for (int k = 0; k < layout.used; ++k)
            inSlot[k] = valueOf[layout.channel[static_cast<size_t>(k)]];
        const bool wide = layout.channel[0] == kDeviation;
        const auto payload = pack(inSlot[0], wide, inSlot[1], inSlot[2]);
        DecodedRecord r;
        ASSERT_EQ(DecodeStreamRecord(static_cast<uint8_t>(mask), payload.data(), r), layout.used);
        for (int k = 0; k < layout.used; ++k)
            EXPECT_EQ(r.value[static_cast<size_t>(k)], valueOf[r.layout.channel[static_cast<size_t>(k)]])
                << "mask " << mask << " " << kName[r.layout.channel[static_cast<size_t>(k)]];
    }
}
