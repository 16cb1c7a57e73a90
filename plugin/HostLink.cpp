#include "plugin/HostLink.h"

namespace waypad {
namespace {
// The host writes these from its own thread as plain values.
template <typename T>
T loadShared(const T* value, T fallback)
{
    return value ? __atomic_load_n(value, __ATOMIC_ACQUIRE) : fallback;
}
}  // namespace

int HostLink::portHandle() const { return loadShared<int>(record_.portHandle, -1); }
uint8_t HostLink::slaveAddress() const { return loadShared<uint8_t>(record_.slaveAddress, 0); }
bool HostLink::linkUp() const { return loadShared<int>(record_.linkUp, 0) != 0; }

bool HostLink::closeRequested() const
{
    return record_.closeRequest && record_.closeRequest->load() == 1;
}

int32_t HostLink::statusWord() const
{
    return record_.statusWord ? record_.statusWord->load() : ownStatus_.load();
}

void HostLink::setStatusBits(int32_t bits)
{
    (record_.statusWord ? *record_.statusWord : ownStatus_).fetch_or(bits);
}

void HostLink::clearStatusBits(int32_t bits)
{
    (record_.statusWord ? *record_.statusWord : ownStatus_).fetch_and(~bits);
}

void HostLink::reportServo(bool on)
{
    on ? setStatusBits(kPluginServoOnBit) : clearStatusBits(kPluginServoOnBit);
}

}  // namespace waypad
