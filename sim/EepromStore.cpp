#include "sim/EepromStore.h"

namespace drivesim {

void EepromStore::startWrite(Image image, uint64_t nowMs)
{
    pending_ = std::move(image);
    doneAtMs_ = nowMs + busyMs_;
}

std::optional<bool> EepromStore::advance(uint64_t nowMs)
{
    if (!pending_ || nowMs < doneAtMs_)
        return std::nullopt;
    Image image = std::move(*pending_);
    pending_.reset();
    // A file that cannot be written leaves the old contents in force.
    if (file_ && !file_->save(image))
        return false;
    contents_ = std::move(image);
    return true;
}

}  // namespace drivesim
