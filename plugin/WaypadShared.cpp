#include "plugin/WaypadShared.h"

namespace waypad {

std::string CommStepsBusyText(int32_t step)
{
    return std::string("Now on processing CommSteps: ") + CommStepName(step);
}

}  // namespace waypad
