#pragma once
// The parameter wizard dialogs, one row each: caption, the parameters they
// read and write (in that order), how they are edited, their texts, and
// whether a failed write closes them. The dialogs are built from this table.

#include <cstdint>
#include <string>
#include <vector>

enum class WizardDialogId {
    Wizard05, Wizard06, Wizard10, Wizard11, Wizard12, Wizard13, Wizard14, Wizard15,
    Wizard1D, Wizard1E, Wizard20, Wizard28, Wizard29, Wizard2A, Wizard40, Wizard44,
    Wizard45, Wizard46, Wizard48, Wizard4C, Wizard4E, Wizard50, Wizard51, Wizard52,
    Wizard53, Wizard56, Wizard58, Wizard5C, Wizard5D
};
constexpr int kWizardDialogCount = 29;

// Edits: one edit box per parameter. Options: one option button per value
// of a single parameter. PulseInput: the input circuit (Pr.40) as options
// and the six pulse-input types (Pr.41 and Pr.42).
enum class WizardControl { Edits, Options, PulseInput };
enum class FailedWriteRule { Stays, Closes };

struct WizardField {
    uint8_t parameter;
    unsigned labelTextId;  // beside the edit box
};

// A group frame: title, help and the edit boxes it holds.
struct WizardSection {
    unsigned titleTextId;
    unsigned helpTextId;
    std::vector<WizardField> fields;
};

// Option number i writes the value i.
struct WizardOption {
    unsigned textId;
    unsigned headingTextId;  // a heading above this option; 0 for none
};

struct WizardDialogDescription {
    WizardDialogId id;
    const char* className;
    int templateId;
    const char* caption;
    WizardControl control;
    std::vector<WizardSection> sections;
    uint8_t optionParameter;  // Options only
    std::vector<WizardOption> options;  // Options, and Pr.40 of PulseInput
    std::vector<unsigned> noteTextIds;  // shown beneath the help
    FailedWriteRule onFailedWrite;
    bool silentReadFailure;  // a failed read closes it without a message

    // Read when the dialog opens and written on OK, in this order.
    std::vector<uint8_t> parameters() const;
    // Every text the dialog shows by identifier.
    std::vector<unsigned> textIds() const;
};

const std::vector<WizardDialogDescription>& WizardDialogs();
const WizardDialogDescription& WizardDialogOf(WizardDialogId id);
