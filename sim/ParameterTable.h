#pragma once
// The drive's 128 parameters Pr.00-Pr.7F: factory values and the ranges the
// drive itself enforces on a write, both from the tool's parameter catalogue.

#include <array>
#include <cstdint>
#include <string>

namespace drivesim {

// Factory values and write limits of the parameters.
class ParameterTable {
public:
    static constexpr int kCount = 128;
    static constexpr int kStation = 0x00;
    static constexpr int kControlMode = 0x02;
    static constexpr int kSpeedCommandSource = 0x05;  // 0 analog, 1 four internal speeds, 2 three and analog, 3 eight
    static constexpr int kPositionGain = 0x10;
    static constexpr int kSpeedGain = 0x11;
    static constexpr int kIntegralTime = 0x12;
    static constexpr int kTorqueFilter = 0x14;
    static constexpr int kSpeedFeedForward = 0x15;     // 0.1 %
    static constexpr int kFeedForwardFilter = 0x16;    // 0.01 ms
    static constexpr int kNotchFrequency = 0x1D;       // Hz; 1500 and above: off
    static constexpr int kNotchWidth = 0x1E;           // 0 narrow - 4 wide
    static constexpr int kModelCode = 0x1F;
    static constexpr int kInertiaRatio = 0x20;
    static constexpr int kRealtimeTuning = 0x21;
    static constexpr int kGearNumerator = 0x46;
    static constexpr int kGearDenominator = 0x4B;
    static constexpr int kPointSpeed1 = 0x53;   // points 1-4: Pr.53-Pr.56
    static constexpr int kJogSpeed = 0x57;
    static constexpr int kPointAcc = 0x58;
    static constexpr int kPointDec = 0x59;
    static constexpr int kTorqueLimit = 0x5E;           // %
    static constexpr int kInPositionWindow = 0x60;      // encoder pulses
    static constexpr int kZeroSpeedLevel = 0x61;        // rpm
    static constexpr int kFollowingErrorLimit = 0x63;   // 256 pulses
    static constexpr int kFollowingErrorCheck = 0x64;   // 1: off
    static constexpr int kPointSpeed5 = 0x74;   // points 5-8: Pr.74-Pr.77

    // Factory values of the model (its code as given, "VR-007") for a drive
    // with this station, control mode and Pr.1F.
    static std::array<int16_t, kCount> factoryValues(const std::string& modelCode, uint8_t station,
                                                     int16_t controlMode, int16_t pr1f);
    // True when the model's drive accepts this value for the parameter.
    static bool accepts(const std::string& modelCode, int parameter, int16_t value);
};

}  // namespace drivesim
