#pragma once
// Decoding the drive's 9-byte stream records. The selected channels ride in
// three slots in mask-bit order (Pulse Deviation, Speed Command, Speed,
// Torque); slot 1 is 15 bits wide when it carries Pulse Deviation and 14
// bits otherwise, slots 2 and 3 are 14 bits. Values are two's complement.

#include "scope/ScopeChannels.h"

#include <array>
#include <cstdint>

constexpr int kStreamSlotCount = 3;
constexpr uint8_t kStreamMarker = 0xC5;
constexpr int kStreamPayloadSize = 6;

// Which channel each slot carries under a mask (-1: slot unused). Masks
// outside 1-14 use no slot.
struct StreamSlots {
    std::array<int, kStreamSlotCount> channel{{-1, -1, -1}};
    int used = 0;
};
StreamSlots SlotsOfMask(uint8_t mask);

// One slot's value from the six payload bytes, sign-extended to 16 bits.
int16_t DecodeSlot(const uint8_t* payload, int slot, bool wideFirstSlot);

// One record's samples: value[k] belongs to slot k + 1, which carries
// layout.channel[k]. Returns the number of slots in use.
struct DecodedRecord {
    std::array<int16_t, kStreamSlotCount> value{{0, 0, 0}};
    StreamSlots layout;
};
int DecodeStreamRecord(uint8_t mask, const uint8_t* payload, DecodedRecord& out);
