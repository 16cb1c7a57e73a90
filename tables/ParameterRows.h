#pragma once
// The base rows of the parameter catalogue, kept in two source files so
// each stays readable, and the shorthand the rows are written with.

#include "tables/ParameterCatalogue.h"

namespace parameterrows {

using Row = ParameterCatalogue::Parameter;
constexpr int kHalf = ParameterCatalogue::kParameterCount / 2;

extern const Row kFirstHalf[kHalf];   // Pr.00-Pr.3F
extern const Row kSecondHalf[kHalf];  // Pr.40-Pr.7F

// Page modes.
constexpr uint8_t kNone = 0;
constexpr uint8_t kP = ParameterCatalogue::kPositionBit;
constexpr uint8_t kV = ParameterCatalogue::kVelocityBit;
constexpr uint8_t kT = ParameterCatalogue::kTorqueBit;
constexpr uint8_t kPV = kP | kV;
constexpr uint8_t kVT = kV | kT;
constexpr uint8_t kPVT = kP | kV | kT;

// Row flags.
constexpr bool kReboot = true;   // takes effect at the next power-up
constexpr bool kLive = false;    // takes effect at once
constexpr bool kUnused = true;
constexpr bool kUsed = false;
constexpr bool kTuneLock = true;  // locked while real-time auto tuning is on
constexpr bool kFree = false;

constexpr const char* kNoUnit = "-";

// A register the drive keeps but gives no meaning: any value is stored.
constexpr Row reserved(int number)
{
    return {number, "Reserved", -32768, 32767, kNoUnit, 0, kLive, kUnused, kNone, kFree,
            "Reserved. The drive stores the value but does not use it. Leave it at 0."};
}

}  // namespace parameterrows
