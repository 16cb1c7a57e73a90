#include "sim/PowerUpSettings.h"

#include <algorithm>

namespace drivesim {

bool PowerUpSettings::restartMarked(int parameter)
{
    static const int kMarked[] = {0x01, 0x02, 0x04, 0x0C, 0x40, 0x41, 0x42, 0x44, 0x45, 0x48, 0x4E, 0x4F, 0x6C};
    return std::find(std::begin(kMarked), std::end(kMarked), parameter) != std::end(kMarked);
}

}  // namespace drivesim
