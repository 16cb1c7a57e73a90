#pragma once
// What the Scale tab holds: the checked channels (at most three), each
// channel's Vol/Div entry and vertical position, and the Sec/Div entry,
// which is also the capture length. The tab's widgets only mirror it.

#include "platform/NumberText.h"
#include "scope/ScopeChannels.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The limits a channel is drawn with, refreshed from the settings.
struct ChannelLimits {
    double max = 0, min = 0, span = 0;
    double verticalPosition = 0;
};

class ScaleSettings {
public:
    static constexpr int kMaxCheckedChannels = 3;
    static constexpr int kVerticalPositionLimit = 16384;
    static constexpr int kDeviationExponentLimit = 15;

    ScaleSettings();

    // The entries of a channel's Vol/Div list (Pulse Deviation: exponents)
    // and of the Sec/Div list, in list order.
    static const std::vector<int>& VolDivEntries(int channel);
    static const std::vector<int>& SecDivEntries();

    // False (and nothing changes) when a fourth channel would be checked.
    bool setChecked(int channel, bool checked);
    bool checked(int channel) const { return checked_[static_cast<size_t>(channel)]; }
    int checkedCount() const;
    uint8_t channelMask() const { return MaskOfChannels(checked_); }

    // The selected entry's number as the list shows it (an exponent for
    // Pulse Deviation), and the value at the top edge (2^n for it).
    int volDivEntry(int channel) const;
    double volDivValue(int channel) const;
    int volDivIndex(int channel) const { return volDivIndex_[static_cast<size_t>(channel)]; }
    void setVolDivIndex(int channel, int index);
    // Selects the entry whose text equals `text`; false leaves it as it was.
    bool selectVolDivText(int channel, const std::string& text);

    int secDiv() const { return SecDivEntries()[static_cast<size_t>(secDivIndex_)]; }
    int secDivIndex() const { return secDivIndex_; }
    void setSecDivIndex(int index);
    bool selectSecDivText(const std::string& text);

    // The vertical-position field: counts for Speed, Torque and Speed
    // Command, an exponent for Pulse Deviation. Out-of-range values are
    // refused (false).
    int verticalField(int channel) const { return verticalField_[static_cast<size_t>(channel)]; }
    bool setVerticalField(int channel, int value);
    static int VerticalFieldLimit(int channel);
    // The offset added to every sample before it is drawn.
    double verticalPosition(int channel) const;

    ChannelLimits limits(int channel) const;

private:
    std::array<bool, kScopeChannelCount> checked_{};
    std::array<int, kScopeChannelCount> volDivIndex_{};
    std::array<int, kScopeChannelCount> verticalField_{};
    int secDivIndex_ = 0;
};
