#pragma once
// Reading and writing the whole internal-position parameter set, as the
// worker's read-all and write-all steps. Each exchange adds one to the
// shared progress counter as it goes.

namespace waypad {

class DriveBus;
struct WaypadShared;

// Registers of the drive.
enum DriveRegister : unsigned short {
    kRegPointSpeeds1 = 83,    // 83-86, points 1-4
    kRegJogSpeed = 87,        // 87-89: jog speed, point acceleration, deceleration
    kRegInPositionWindow = 96,
    kRegPointSpeeds5 = 116,   // 116-119, points 5-8
    kRegEepromSave = 129,
    kRegFeatureWord = 151,
    kRegPosition = 180,       // 180-181; a write moves there
    kRegDistance = 182,       // 182-183; a write moves by it
    kRegPointPositions = 200, // 200-231, point n at 198 + 2n
    kRegPointSpeeds9 = 720,   // 720-727, points 9-16
    kRegActiveMode = 939,
    kRegHomeReference = 941,  // 941-942
    kRegHomingBlock = 1200,   // 1200-1209
    kRegTargetSpeed = 1214,
    kRegBumpBlock = 1215,     // 1215-1220, 1221-1222 with the extended feature bit
    kRegGearOptions = 1222,
    kRegJogWord = 2001,
    kRegStatusWord = 2002,
    kRegServoQuery = 2003,
};

// True when every read the step depends on succeeded.
bool ReadAllParameters(DriveBus& bus, WaypadShared& shared);
// True when every write succeeded (the last one saves to EEPROM).
bool WriteAllParameters(DriveBus& bus, WaypadShared& shared);

}  // namespace waypad
