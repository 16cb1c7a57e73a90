#include "scope/ScopeChannels.h"

namespace {

const std::array<ScopeChannelInfo, kScopeChannelCount> kChannels = {{
    {240, 251, "Speed", "RPM", 0x04, FromBgr(0x00FF00)},
    {241, 252, "Torque", "0.10%", 0x08, FromBgr(0xFFA953)},
    {242, 253, "Deviation Count", "Pulse", 0x01, FromBgr(0x0080FF)},
    {243, 254, "Command", "RPM", 0x02, FromBgr(0xFFFFFF)},
}};

}  // namespace

const ScopeChannelInfo& ChannelInfo(int channel)
{
    return kChannels[static_cast<size_t>(channel)];
}

uint8_t MaskOfChannels(const std::array<bool, kScopeChannelCount>& checked)
{
    uint8_t mask = 0;
    for (int c = 0; c < kScopeChannelCount; ++c)
        if (checked[static_cast<size_t>(c)])
            mask |= ChannelInfo(c).maskBit;
    return mask;
}

bool MaskSelects(uint8_t mask, int channel)
{
    return (mask & 0xF0) == 0 && (mask & ChannelInfo(channel).maskBit) != 0;
}

double PhysicalValue(int channel, double rawCount)
{
    return channel == kTorque ? rawCount * 0.1 : rawCount;
}

const char* PhysicalUnit(int channel)
{
    switch (channel) {
    case kTorque: return "%";
    case kDeviation: return "Pulse";
    default: return "RPM";
    }
}
