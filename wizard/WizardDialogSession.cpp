#include "wizard/WizardDialogSession.h"

#include "wizard/EditValueText.h"
#include "wizard/ParameterRangeTable.h"
#include "wizard/PulseInputTypes.h"

namespace {
constexpr unsigned kReadFailed = 409;
constexpr unsigned kOutOfRange = 355;
constexpr unsigned kWriteFailed = 357;

std::optional<uint16_t> optionValue(int option)
{
    if (option < 0)
        return std::nullopt;
    return static_cast<uint16_t>(option);
}
}  // namespace

int WriteParameter(WizardDrive& drive, uint8_t parameter, uint16_t value)
{
    if (!AcceptsParameterValue(parameter, value))
        return 2;
    return drive.writeParameter(parameter, value) == 1 ? 1 : 0;
}

WizardDialogSession::WizardDialogSession(const WizardDialogDescription& dialog, WizardDrive& drive)
    : dialog_(dialog), drive_(drive), parameters_(dialog.parameters())
{
}

bool WizardDialogSession::load()
{
    values_.clear();
    for (uint8_t parameter : parameters_) {
        uint16_t value = 0;
        if (drive_.readParameter(parameter, value) != 1)
            return false;
        values_.push_back(value);
    }
    return true;
}

unsigned WizardDialogSession::loadFailureMessage() const
{
    return dialog_.silentReadFailure ? 0 : kReadFailed;
}

int WizardDialogSession::preselectedOption() const
{
    if (values_.empty() || dialog_.options.empty())
        return -1;
    const uint16_t value = values_.front();
    return value < dialog_.options.size() ? value : -1;
}

int WizardDialogSession::preselectedPulseType() const
{
    if (dialog_.control != WizardControl::PulseInput || values_.size() < 3)
        return -1;
    return PulseInputTypeOf(values_[1], values_[2]);
}

WizardOutcome WizardDialogSession::applyEdits(const std::vector<std::string>& texts)
{
    std::vector<std::optional<uint16_t>> wanted;
    for (size_t i = 0; i < parameters_.size(); ++i)
        wanted.push_back(i < texts.size() ? ParseEditValue(texts[i]) : std::nullopt);
    return apply(wanted);
}

WizardOutcome WizardDialogSession::applyOption(int option)
{
    return apply({optionValue(option)});
}

WizardOutcome WizardDialogSession::applyPulseInput(int circuitOption, int pulseType)
{
    if (pulseType < 0 || pulseType >= kPulseInputTypeCount)
        return apply({optionValue(circuitOption), std::nullopt, std::nullopt});
    const PulseInputType type = PulseInputTypeValues(pulseType);
    return apply({optionValue(circuitOption), type.pr41, type.pr42});
}

WizardOutcome WizardDialogSession::apply(const std::vector<std::optional<uint16_t>>& wanted)
{
    const bool closeOnFailure = dialog_.onFailedWrite == FailedWriteRule::Closes;
    for (size_t i = 0; i < parameters_.size(); ++i)
        if (i >= wanted.size() || !wanted[i] || !AcceptsParameterValue(parameters_[i], *wanted[i]))
            return {kOutOfRange, closeOnFailure, 0};
    WizardOutcome outcome;
    for (size_t i = 0; i < parameters_.size(); ++i) {
        const int result = WriteParameter(drive_, parameters_[i], *wanted[i]);
        if (result != 1)
            return {result == 2 ? kOutOfRange : kWriteFailed, closeOnFailure, outcome.written};
        ++outcome.written;
    }
    return outcome;
}
