#pragma once
// Parameters that take effect only when the drive is powered up: it runs with
// the values it found at power-up until it is powered again, whatever the
// registers hold meanwhile.

#include "sim/ParameterTable.h"

#include <array>
#include <cstdint>

namespace drivesim {

// The power-up copy of the restart-marked parameters.
class PowerUpSettings {
public:
    using Parameters = std::array<int16_t, ParameterTable::kCount>;

    // True for Pr.01, 02, 04, 0C, 40, 41, 42, 44, 45, 48, 4E, 4F and 6C.
    static bool restartMarked(int parameter);

    void capture(const Parameters& parameters) { values_ = parameters; }
    // The value the drive runs with: the power-up value of a restart-marked
    // parameter, the register itself for any other.
    int16_t effective(int parameter, const Parameters& registers) const
    {
        return restartMarked(parameter) ? values_[parameter] : registers[parameter];
    }

private:
    Parameters values_{};
};

}  // namespace drivesim
