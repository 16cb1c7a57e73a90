#pragma once
// What the alarm list shows: the status line of the current alarm (green
// for none, flashing red for an alarm, "Read data failed!" once per run of
// failed reads) and the texts of the 16 history records.

#include "monitor/AlarmReader.h"

#include <array>
#include <optional>
#include <string>

constexpr uint32_t kAlarmColourGreen = 0x00FF00;
constexpr uint32_t kAlarmColourRed = 0xFF0000;

class AlarmListModel {
public:
    // Applies one refresh: a readout, or nullptr when the read failed.
    // Returns true when the status line's colour and flashing changed.
    bool apply(const AlarmReadout* readout);

    const std::string& statusText() const { return statusText_; }
    uint32_t statusColour() const { return statusColour_; }
    bool flashing() const { return flashing_; }
    const std::array<std::string, kAlarmHistoryLength>& historyTexts() const { return history_; }
    // The last good readout; none before the first.
    const std::optional<AlarmReadout>& lastReadout() const { return last_; }

private:
    // What the status line last showed: a code 0-255, or one of these. A
    // new view starts with nothing shown, so the first result always paints.
    static constexpr int kNothingShown = -2;
    static constexpr int kFailureShown = -1;

    int lastShown_ = kNothingShown;
    std::string statusText_;
    uint32_t statusColour_ = 0;
    bool flashing_ = false;
    std::array<std::string, kAlarmHistoryLength> history_{};
    std::optional<AlarmReadout> last_;
};
