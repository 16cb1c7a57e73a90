#include "tuning/ManualEstimateForm.h"

#include "texts/LoadText.h"
#include "tuning/StiffnessTables.h"

namespace {
std::string rangeLabel(unsigned textId, int lo, int hi)
{
    return LoadText(textId) + " Range " + std::to_string(lo) + "~" + std::to_string(hi);
}
}  // namespace

ManualEstimateForm::ManualEstimateForm(bool online, bool manualMethod)
    : online_(online), bandwidthLabel_(LoadText(427)), responseTimeLabel_(LoadText(428))
{
    if (manualMethod)
        activate();
    else
        deactivate();
}

void ManualEstimateForm::activate()
{
    active_ = true;
    enables_.read = online_;
    enables_.inertia = true;
    enables_.bandwidth = stiffnessChosen_;
    if (stiffnessChosen_)
        bandwidthEdited(bandwidthText_);
    applyTransferRule();
    applyInertiaRule();
}

void ManualEstimateForm::deactivate()
{
    active_ = false;
    const auto now = enables_.now;
    enables_ = Enables{};
    enables_.inertia = enables_.stiffnessList = false;
    enables_.now = now;
}

void ManualEstimateForm::applyInertiaRule()
{
    const int inertia = LeadingInteger(inertiaText_);
    if (inertia < 0) {
        enables_.stiffnessList = false;
    } else if (inertia > kMaxInertiaRatio) {
        enables_.stiffnessList = enables_.bandwidth = enables_.responseTime = false;
        enables_.estimate = enables_.transfer = enables_.modifyCheck = false;
    } else {
        enables_.stiffnessList = true;
    }
}

void ManualEstimateForm::applyResponseRule()
{
    const int t = LeadingInteger(responseTimeText_);
    enables_.estimate = bandwidthAccepted_ && shortestResponseTime_ <= t && t <= kMaxResponseTime;
}

void ManualEstimateForm::applyTransferRule()
{
    // The check box and Transfer serve a drive, and only a complete set of
    // values: never the empty fields of a form not yet estimated.
    enables_.modifyCheck = active_ && online_ && estimated_;
    enables_.transfer = enables_.modifyCheck && !modifyChecked_;
}

void ManualEstimateForm::inertiaEdited(const std::string& text)
{
    inertiaText_ = text;
    applyInertiaRule();
}

void ManualEstimateForm::stiffnessChosen(int stiffness)
{
    if (stiffness < 0 || stiffness > kMaxStiffness)
        return;
    stiffness_ = stiffness;
    stiffnessChosen_ = true;
    enables_.bandwidth = enables_.responseTime = enables_.estimate = true;
    responseTimeText_ = std::to_string(DefaultResponseTime(stiffness));
    const IntRange shown = BandwidthLabelRange(stiffness);
    bandwidthLabel_ = rangeLabel(427, shown.lo, shown.hi);
    bandwidthEdited(std::to_string(StiffnessTables::bandwidth[stiffness]));
}

void ManualEstimateForm::bandwidthEdited(const std::string& text)
{
    bandwidthText_ = text;
    const int bw = LeadingInteger(text);
    bandwidthAccepted_ = !text.empty() && AcceptedBandwidth(stiffness_).contains(bw);
    if (!bandwidthAccepted_) {
        enables_.responseTime = enables_.estimate = false;
        return;
    }
    enables_.responseTime = true;
    shortestResponseTime_ = ShortestResponseTime(bw);
    responseTimeLabel_ = rangeLabel(428, shortestResponseTime_, kMaxResponseTime);
    applyResponseRule();
}

void ManualEstimateForm::responseTimeEdited(const std::string& text)
{
    responseTimeText_ = text;
    applyResponseRule();
}

void ManualEstimateForm::nowEdited(int row, const std::string& text)
{
    if (row >= 0 && row < kGainRowCount && modifyChecked_)
        now_[row] = text;
}

std::optional<EstimateOutcome> ManualEstimateForm::estimate()
{
    if (bandwidthText_.empty())
        return std::nullopt;
    const Row remembered = now_;
    EstimateInput input;
    input.stiffness = stiffness_;
    input.bandwidth = LeadingInteger(bandwidthText_);
    input.responseTime = LeadingInteger(responseTimeText_);
    input.shortestResponseTime = shortestResponseTime_;
    input.inertiaText = inertiaText_;
    EstimateOutcome outcome = EstimateGains(input);
    for (int row = 0; row < kGainRowCount; ++row) {
        if (outcome.results[row]) {
            now_[row] = *outcome.results[row];
            enables_.now[row] = true;
        }
    }
    if (outcome.responseTimeCorrection)
        responseTimeEdited(*outcome.responseTimeCorrection);
    if (outcome.bandwidthCorrection)
        bandwidthEdited(*outcome.bandwidthCorrection);
    if (outcome.complete()) {
        previous_ = remembered;
        estimated_ = true;
        applyTransferRule();
    }
    return outcome;
}

std::string ManualEstimateForm::modifyToggled(bool checked)
{
    modifyChecked_ = checked;
    if (checked)
        enables_.transfer = false;
    const int row = FirstGainOutOfRange(now_);
    if (row >= 0) {
        modifyChecked_ = true;
        enables_.transfer = false;
        return GainRangeMessage(row);
    }
    applyTransferRule();
    return {};
}
