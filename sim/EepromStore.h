#pragma once
// The drive's non-volatile memory: the image it starts from after a power-up,
// and writes that take a busy time before they are committed (to the EEPROM
// file as well, when the drive has one).

#include "sim/EepromFile.h"

#include <cstdint>
#include <optional>

namespace drivesim {

// Saved register image with timed, all-or-nothing writes.
class EepromStore {
public:
    using Image = EepromFile::Image;

    // `file` may be null: saves then live as long as the process.
    EepromStore(const EepromFile* file, Image contents, uint32_t busyMs)
        : file_(file), contents_(std::move(contents)), busyMs_(busyMs)
    {
    }

    const Image& contents() const { return contents_; }
    // Starts writing `image`; it is committed once the busy time has passed.
    // A write already under way is replaced by the newer one.
    void startWrite(Image image, uint64_t nowMs);
    // Commits a write whose busy time is over; its outcome, once, then nothing.
    std::optional<bool> advance(uint64_t nowMs);
    bool busy() const { return pending_.has_value(); }
    // Power fails: a write still under way never reaches the memory.
    void powerLost() { pending_.reset(); }

private:
    const EepromFile* file_;
    Image contents_;
    uint32_t busyMs_;
    std::optional<Image> pending_;
    uint64_t doneAtMs_ = 0;
};

}  // namespace drivesim
