#pragma once
// How the block diagrams and the wizard dialogs reach drive parameters: one
// register at a time. The program uses the drive link (LinkWizardDrive);
// tests may stand in with their own.

#include <cstdint>

class WizardDrive {
public:
    virtual ~WizardDrive() = default;
    // 1 with the register's value, 0 when the drive did not answer.
    virtual int readParameter(uint8_t parameter, uint16_t& value) = 0;
    // 1 when the drive confirmed the write, 0 when it did not.
    virtual int writeParameter(uint8_t parameter, uint16_t value) = 0;
};
