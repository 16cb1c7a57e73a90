#pragma once
// Drive parameters through the program's drive link, at the link's station:
// a read is one register (200 ms wait, one retry), a write is a single
// register write with a 100 ms wait.

#include "wizard/WizardDrive.h"

class LinkWizardDrive : public WizardDrive {
public:
    int readParameter(uint8_t parameter, uint16_t& value) override;
    int writeParameter(uint8_t parameter, uint16_t value) override;
};

// The link's drive, shared by every view and dialog of the wizards.
WizardDrive& LinkDrive();
