#pragma once
// The manual gain estimate as a form without widgets: its field texts and
// which of its controls are enabled, moved by the person's edits. The view
// shows this state and forwards the edits.

#include "tuning/GainEstimate.h"

#include <array>
#include <optional>
#include <string>

class ManualEstimateForm {
public:
    using Row = std::array<std::string, kGainRowCount>;

    struct Enables {
        bool read = false;
        bool inertia = true;
        bool stiffnessList = true;
        bool bandwidth = false;
        bool responseTime = false;
        bool estimate = false;
        bool modifyCheck = false;
        bool transfer = false;
        std::array<bool, kGainRowCount> now{};  // enabled once a result arrived
    };

    // The form as the view opens: the manual method in force or not.
    ManualEstimateForm(bool online, bool manualMethod);

    // The manual method chosen again, or the auto method chosen.
    void activate();
    void deactivate();
    bool active() const { return active_; }

    void inertiaEdited(const std::string& text);
    void stiffnessChosen(int stiffness);
    void bandwidthEdited(const std::string& text);
    void responseTimeEdited(const std::string& text);
    void nowEdited(int row, const std::string& text);
    void setDriverText(int row, const std::string& text) { driver_[row] = text; }

    // Estimate Gain; nothing happens (nullopt) while the bandwidth is empty.
    std::optional<EstimateOutcome> estimate();
    // The modify check box; returns the range message when a value does not
    // fit (the box then stays checked), else an empty text.
    std::string modifyToggled(bool checked);

    const Enables& enables() const { return enables_; }
    bool modifyChecked() const { return modifyChecked_; }
    bool nowEditable() const { return modifyChecked_; }
    int stiffness() const { return stiffness_; }
    int shortestResponseTime() const { return shortestResponseTime_; }
    const std::string& inertiaText() const { return inertiaText_; }
    const std::string& bandwidthText() const { return bandwidthText_; }
    const std::string& responseTimeText() const { return responseTimeText_; }
    const std::string& bandwidthLabel() const { return bandwidthLabel_; }
    const std::string& responseTimeLabel() const { return responseTimeLabel_; }
    const Row& previous() const { return previous_; }
    const Row& now() const { return now_; }
    const Row& driver() const { return driver_; }

private:
    void applyInertiaRule();
    void applyResponseRule();
    void applyTransferRule();

    bool online_;
    bool active_ = false;
    bool stiffnessChosen_ = false;
    bool bandwidthAccepted_ = false;
    bool estimated_ = false;  // a complete estimate (or read-back) is in the Now column
    bool modifyChecked_ = false;
    int stiffness_ = 0;
    int shortestResponseTime_ = 0;
    std::string inertiaText_ = "0";
    std::string bandwidthText_;
    std::string responseTimeText_;
    std::string bandwidthLabel_;
    std::string responseTimeLabel_;
    Row previous_, now_, driver_;
    Enables enables_;
};
