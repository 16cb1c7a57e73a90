#include "sim/AlarmLog.h"

#include <algorithm>

namespace drivesim {

void AlarmLog::raise(uint8_t code)
{
    if (code == 0)
        return;
    current_ = code;
    std::copy_backward(history_.begin(), history_.end() - 1, history_.end());
    history_[0] = code;
}

void AlarmLog::setHistory(const std::vector<uint8_t>& newestFirst)
{
    history_.fill(0);
    std::copy_n(newestFirst.begin(), std::min<size_t>(newestFirst.size(), kHistory), history_.begin());
}

}  // namespace drivesim
