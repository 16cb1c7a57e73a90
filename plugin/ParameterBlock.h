#pragma once
// The internal-position parameter set: 16 points with position and speed,
// the point ramps, the homing block, jog and soft limits. ParameterValues is
// a plain copy (the grid, a file); ParameterBlock is the one shared with the
// worker thread, each value a 32-bit atomic.

#include <array>
#include <atomic>
#include <cstdint>

namespace waypad {

constexpr int kPointCount = 16;

enum ParamField : int {
    kPointPosition = 0,                        // + point index 0-15
    kPointSpeed = kPointPosition + kPointCount,  // + point index 0-15
    kPointAcc = kPointSpeed + kPointCount,
    kPointDec,
    kHomingMode,
    kHomingOffset,
    kHomingSpeed,
    kCreepSpeed,
    kHomingAcc,
    kHomingDec,
    kBumpTorque,
    kBumpTime,
    kSkipGearRatio,
    kRegister1222,  // raw value, kept so a write changes only its bit 0
    kJogSpeed,
    kJogAcc,
    kJogDec,
    kOnPosDelay,
    kSoftLimitPos,
    kSoftLimitNeg,
    kParamCount
};

inline int PointPosition(int index) { return kPointPosition + index; }
inline int PointSpeed(int index) { return kPointSpeed + index; }

using ParameterValues = std::array<int32_t, kParamCount>;

class ParameterBlock {
public:
    ParameterBlock();
    int32_t get(int field) const { return values_[field].load(std::memory_order_relaxed); }
    void set(int field, int32_t value) { values_[field].store(value, std::memory_order_relaxed); }
    ParameterValues snapshot() const;
    void assign(const ParameterValues& values);

private:
    std::array<std::atomic<int32_t>, kParamCount> values_;
};

}  // namespace waypad
