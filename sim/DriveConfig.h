#pragma once
// What drivesim is told to be at start: the model, its factory station and
// control mode, its alarms, tuning, machine and EEPROM timing.

#include "sim/ModelTable.h"
#include "sim/TuningMachine.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace drivesim {

// The simulated drive's start-up settings.
struct DriveConfig {
    DriveModel model = *ModelTable::find("VR-007");
    uint8_t station = 1;                   // factory value of Pr.00
    int16_t controlMode = 0;               // factory value of Pr.02
    bool extendedFeatures = false;         // bit 0x20 of register 151
    uint8_t alarm = 0;
    std::vector<uint8_t> history;
    bool historyGiven = false;
    std::vector<std::pair<uint32_t, uint8_t>> alarmsAt;  // (ms after start, code)
    TuningMachine::Settings tuning;        // its inertia result is the machine's load
    std::map<uint16_t, uint16_t> presets;  // applied after the EEPROM image
    uint32_t saveBusyMs = 50;              // an EEPROM write takes this long
    uint32_t powerCycleAfterMs = 0;        // one power cycle this long after start; 0 never
    double pulseRate = 20000;              // the host's pulse train, command pulses a second
    bool testSignals = false;              // stream full-scale test waves instead of the motion
};

}  // namespace drivesim
