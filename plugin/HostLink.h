#pragma once
// The plug-in's view of the host's link record: the host's port handle,
// slave address and link-up flag (plain values the host's thread writes),
// the close request, and the status word the plug-in reports in. Missing
// pointers read as "no port, link down" so a bare record is harmless.

#include "app/PluginLinkRecord.h"

#include <atomic>
#include <cstdint>

namespace waypad {

class HostLink {
public:
    HostLink() = default;
    explicit HostLink(const PluginLinkRecord& record) : record_(record) {}

    int portHandle() const;
    uint8_t slaveAddress() const;
    bool linkUp() const;
    bool closeRequested() const;

    int32_t statusWord() const;
    void setStatusBits(int32_t bits);
    void clearStatusBits(int32_t bits);
    // Bit 0 follows the servo-on flag.
    void reportServo(bool on);

private:
    PluginLinkRecord record_{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    std::atomic<int32_t> ownStatus_{0};  // stands in when the record has none
};

}  // namespace waypad
