#pragma once
// The scope's four channels, always in this order, and what each needs:
// its text, its name in waveform files and on paper, its unit, its bit in
// the channel mask and its trace colour.

#include <array>
#include <cstdint>
#include <string>

enum ScopeChannelIndex { kSpeed = 0, kTorque = 1, kDeviation = 2, kCommand = 3 };
constexpr int kScopeChannelCount = 4;

struct ScopeChannelInfo {
    unsigned nameTextId;         // "Speed", "Torque", ...
    unsigned descriptionTextId;  // "Motor rotational speed", ...
    const char* fileName;        // "Deviation Count" in files and print
    const char* unit;            // as the channel list shows it
    uint8_t maskBit;             // value of the channel's bit in the mask
    uint32_t colour;             // trace colour, 0xRRGGBB
};

const ScopeChannelInfo& ChannelInfo(int channel);

// Bits of a channel mask with the channels in channel order; a mask with
// bits 4-7 set selects nothing.
uint8_t MaskOfChannels(const std::array<bool, kScopeChannelCount>& checked);
bool MaskSelects(uint8_t mask, int channel);

// The channel's value in physical units: Torque counts tenths of a per cent.
double PhysicalValue(int channel, double rawCount);
// The unit of PhysicalValue: "RPM", "%", "Pulse".
const char* PhysicalUnit(int channel);

// Colours the drive tool states as 0x00BBGGRR become 0xRRGGBB.
constexpr uint32_t FromBgr(uint32_t bgr)
{
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
