#pragma once
// A drive of plain registers for the wizard cores and dialogs: reads and
// writes can be made to fail per parameter (or all of them, as without a
// drive), and every confirmed write is logged in order.

#include "wizard/WizardDrive.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

class FakeWizardDrive : public WizardDrive {
public:
    int readParameter(uint8_t parameter, uint16_t& value) override
    {
        reads.push_back(parameter);
        if (absent || failingReads.count(parameter))
            return 0;
        value = registers[parameter];
        return 1;
    }
    int writeParameter(uint8_t parameter, uint16_t value) override
    {
        if (absent || failingWrites.count(parameter))
            return 0;
        writes.emplace_back(parameter, value);
        registers[parameter] = value;
        return 1;
    }

    std::map<uint8_t, uint16_t> registers;
    std::set<uint8_t> failingReads;
    std::set<uint8_t> failingWrites;
    bool absent = false;  // nothing answers
    std::vector<uint8_t> reads;
    std::vector<std::pair<uint8_t, uint16_t>> writes;
};
