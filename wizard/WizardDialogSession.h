#pragma once
// What a wizard dialog does with the drive: it reads its parameters when it
// opens and, on OK, checks what the person chose against the range table and
// writes it. The widgets only show the values and the outcome.

#include "wizard/WizardDialogTable.h"
#include "wizard/WizardDrive.h"

#include <optional>
#include <string>
#include <vector>

// Checks a value against the range table and writes it: 1 written, 0 the
// drive did not confirm, 2 out of range (nothing sent).
int WriteParameter(WizardDrive& drive, uint8_t parameter, uint16_t value);

// What OK led to: a message to show (caption "Error"), or none when every
// value was written, and whether the dialog closes afterwards.
struct WizardOutcome {
    unsigned messageTextId = 0;  // 355 out of range, 357 write failed, 0 none
    bool close = true;
    int written = 0;             // parameters written, in order
};

class WizardDialogSession {
public:
    WizardDialogSession(const WizardDialogDescription& dialog, WizardDrive& drive);

    // Reads every parameter in order and stops at the first failure.
    bool load();
    // The message for a failed load: 409, or 0 for the dialogs that close
    // without one.
    unsigned loadFailureMessage() const;
    // The values read, in the order of the dialog's parameters().
    const std::vector<uint16_t>& values() const { return values_; }

    // The option the value read selects (Options: the parameter's value;
    // PulseInput: Pr.40), or -1 when it matches none.
    int preselectedOption() const;
    // PulseInput: the type Pr.41 and Pr.42 select, or -1.
    int preselectedPulseType() const;

    // OK with the texts of the edit boxes, in parameter order.
    WizardOutcome applyEdits(const std::vector<std::string>& texts);
    // OK with the chosen option (-1: none chosen).
    WizardOutcome applyOption(int option);
    // OK with the chosen input circuit and pulse-input type (-1: none).
    WizardOutcome applyPulseInput(int circuitOption, int pulseType);

private:
    // Every value must lie in its range before the first one is sent, so a
    // refused value never leaves a pair (numerator, denominator) half
    // written. Then the values go out in order until one fails.
    WizardOutcome apply(const std::vector<std::optional<uint16_t>>& wanted);

    const WizardDialogDescription& dialog_;
    WizardDrive& drive_;
    std::vector<uint8_t> parameters_;
    std::vector<uint16_t> values_;
};
