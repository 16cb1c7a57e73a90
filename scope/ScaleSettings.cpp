#include "scope/ScaleSettings.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<int> steps(std::vector<int> entries, int from, int to, int step)
{
    for (int v = from; v <= to; v += step)
        entries.push_back(v);
    return entries;
}

int indexOf(const std::vector<int>& entries, int value)
{
    const auto found = std::find(entries.begin(), entries.end(), value);
    return found == entries.end() ? 0 : static_cast<int>(found - entries.begin());
}

// An entry's text is its number in decimal, nothing else.
bool sameNumberText(int entry, const std::string& text)
{
    return std::to_string(entry) == text;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

ScaleSettings::ScaleSettings()
{
    volDivIndex_[kSpeed] = indexOf(VolDivEntries(kSpeed), 3000);
    volDivIndex_[kTorque] = indexOf(VolDivEntries(kTorque), 1000);
    volDivIndex_[kDeviation] = indexOf(VolDivEntries(kDeviation), 12);
    volDivIndex_[kCommand] = indexOf(VolDivEntries(kCommand), 3000);
    secDivIndex_ = indexOf(SecDivEntries(), 500);
}

const std::vector<int>& ScaleSettings::VolDivEntries(int channel)
{
    static const std::vector<int> speed = steps(steps({}, 100, 1000, 100), 1500, 6000, 500);
    static const std::vector<int> torque = steps({}, 100, 3000, 100);
    static const std::vector<int> exponents = steps({}, 1, 15, 1);
    switch (channel) {
    case kTorque: return torque;
    case kDeviation: return exponents;
    default: return speed;
    }
}

const std::vector<int>& ScaleSettings::SecDivEntries()
{
    static const std::vector<int> entries = steps(steps({}, 10, 90, 10), 100, 2000, 100);
    return entries;
}

int ScaleSettings::checkedCount() const
{
    return static_cast<int>(std::count(checked_.begin(), checked_.end(), true));
}

bool ScaleSettings::setChecked(int channel, bool checked)
{
    if (checked && !checked_[static_cast<size_t>(channel)] && checkedCount() >= kMaxCheckedChannels)
        return false;
    checked_[static_cast<size_t>(channel)] = checked;
    return true;
}

int ScaleSettings::volDivEntry(int channel) const
{
    return VolDivEntries(channel)[static_cast<size_t>(volDivIndex(channel))];
}

double ScaleSettings::volDivValue(int channel) const
{
    const int entry = volDivEntry(channel);
    return channel == kDeviation ? std::ldexp(1.0, entry) : entry;
}

void ScaleSettings::setVolDivIndex(int channel, int index)
{
    const int count = static_cast<int>(VolDivEntries(channel).size());
    volDivIndex_[static_cast<size_t>(channel)] = std::clamp(index, 0, count - 1);
}

bool ScaleSettings::selectVolDivText(int channel, const std::string& text)
{
    const std::string wanted = trimmed(text);
    const std::vector<int>& entries = VolDivEntries(channel);
    for (size_t i = 0; i < entries.size(); ++i)
        if (sameNumberText(entries[i], wanted)) {
            volDivIndex_[static_cast<size_t>(channel)] = static_cast<int>(i);
            return true;
        }
    return false;
}

void ScaleSettings::setSecDivIndex(int index)
{
    secDivIndex_ = std::clamp(index, 0, static_cast<int>(SecDivEntries().size()) - 1);
}

bool ScaleSettings::selectSecDivText(const std::string& text)
{
    const std::string wanted = trimmed(text);
    const std::vector<int>& entries = SecDivEntries();
    for (size_t i = 0; i < entries.size(); ++i)
        if (sameNumberText(entries[i], wanted)) {
            secDivIndex_ = static_cast<int>(i);
            return true;
        }
    return false;
}

int ScaleSettings::VerticalFieldLimit(int channel)
{
    return channel == kDeviation ? kDeviationExponentLimit : kVerticalPositionLimit;
}

bool ScaleSettings::setVerticalField(int channel, int value)
{
    const int limit = VerticalFieldLimit(channel);
    if (value < -limit || value > limit)
        return false;
    verticalField_[static_cast<size_t>(channel)] = value;
    return true;
}

double ScaleSettings::verticalPosition(int channel) const
{
    const int field = verticalField(channel);
    if (channel != kDeviation)
        return field;
    if (field > 0)
        return std::ldexp(1.0, field);
    return field < 0 ? -std::ldexp(1.0, -field) : 0.0;
}

ChannelLimits ScaleSettings::limits(int channel) const
{
    ChannelLimits limits;
    limits.max = volDivValue(channel);
    limits.min = -limits.max;
    limits.span = limits.max - limits.min;
    limits.verticalPosition = verticalPosition(channel);
    return limits;
}
