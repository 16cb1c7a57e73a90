#pragma once
// The fixed tables of the manual gain estimate, indexed by stiffness 0 to 15:
// speed-loop bandwidth breakpoints, integral times, torque filters and
// position gains.

#include <array>
#include <cstdint>

constexpr int kStiffnessLevels = 16;
constexpr int kMaxStiffness = kStiffnessLevels - 1;

struct StiffnessTables {
    static const std::array<uint8_t, kStiffnessLevels> bandwidth;     // A: Hz
    static const std::array<uint8_t, kStiffnessLevels> integralTime;  // B: ms (Pr.12)
    static const std::array<uint8_t, kStiffnessLevels> torqueFilter;  // C: 0.01 ms (Pr.14)
    static const std::array<uint8_t, kStiffnessLevels> positionGain;  // D: 1/s
};
