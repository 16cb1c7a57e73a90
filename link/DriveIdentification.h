#pragma once
// Learning which model the connected drive is from its Report Slave ID
// answer, and checking before a parameter transfer that it is still the
// model the tool works with (correcting Pr.1F when the model fixes it).

#include <cstdint>
#include <string>

struct DriveIdentity {
    bool answered = false;
    int family = 0;
    int group = 0;
    std::string code;  // the model code as the drive reported it (6 bytes at most)
};

// Offsets in the answer, counted from its address byte.
constexpr int kModelCodeOffset = 12;
constexpr int kOlderFirmwareCodeOffset = 18;
constexpr int kModelCodeLength = 6;

DriveIdentity IdentifyDrive(uint8_t slaveAddress);

// 1 when the drive matches the current drive type and its Pr.1F is right
// (after any correction); otherwise 0, after telling the user why. Strict
// refuses the older Vr models outright. With repairPr1F false nothing is
// ever written to the drive.
int VerifyDriveModel(int strict, bool repairPr1F);

// The text every failed identification shows.
extern const char* const kGetIdErrorText;
