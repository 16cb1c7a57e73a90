#include "scope/ScopeCursors.h"

#include "texts/LoadText.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string physical(int channel, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, channel == kTorque ? "%.1f %s" : "%.0f %s", value, PhysicalUnit(channel));
    return text;
}

}  // namespace

void ScopeCursors::setPosition(int cursor, int sampleIndex, int captureLength)
{
    position_[static_cast<size_t>(cursor)] = std::clamp(sampleIndex, 0, std::max(captureLength, 0));
}

void ScopeCursors::place(int captureLength)
{
    position_ = {{captureLength / 4, captureLength * 3 / 4}};
}

CursorReadout ScopeCursors::read(const ChannelSamples& samples,
                                 const std::array<bool, kScopeChannelCount>& shownChannels) const
{
    CursorReadout readout;
    readout.t1Ms = position_[0];
    readout.t2Ms = position_[1];
    readout.deltaMs = readout.t2Ms - readout.t1Ms;
    readout.hasFrequency = readout.deltaMs != 0;
    if (readout.hasFrequency)
        readout.frequencyHz = 1000.0 / readout.deltaMs;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        if (!shownChannels[static_cast<size_t>(c)])
            continue;
        const std::vector<double>& buffer = samples[static_cast<size_t>(c)];
        ChannelAtCursors values;
        values.channel = c;
        values.atFirst = static_cast<size_t>(position_[0]) < buffer.size();
        values.atSecond = static_cast<size_t>(position_[1]) < buffer.size();
        if (values.atFirst)
            values.first = PhysicalValue(c, buffer[static_cast<size_t>(position_[0])]);
        if (values.atSecond)
            values.second = PhysicalValue(c, buffer[static_cast<size_t>(position_[1])]);
        readout.channels.push_back(values);
    }
    return readout;
}

std::vector<std::string> CursorReadout::lines() const
{
    std::vector<std::string> out;
    char text[160];
    std::snprintf(text, sizeof text, "t1 = %.1f ms   t2 = %.1f ms", t1Ms, t2Ms);
    out.push_back(text);
    if (hasFrequency)
        std::snprintf(text, sizeof text, "\xCE\x94t = %.1f ms   1/\xCE\x94t = %.3f Hz", deltaMs, frequencyHz);
    else
        std::snprintf(text, sizeof text, "\xCE\x94t = %.1f ms   1/\xCE\x94t = ---", deltaMs);
    out.push_back(text);
    for (const ChannelAtCursors& values : channels) {
        const std::string first = values.atFirst ? physical(values.channel, values.first) : "---";
        const std::string second = values.atSecond ? physical(values.channel, values.second) : "---";
        const std::string delta =
            values.atFirst && values.atSecond ? physical(values.channel, values.second - values.first) : "---";
        out.push_back(LoadText(ChannelInfo(values.channel).nameTextId) + ": " + first + " | " + second +
                      " | \xCE\x94 " + delta);
    }
    return out;
}
