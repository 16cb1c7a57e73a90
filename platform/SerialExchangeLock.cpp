#include "SerialExchangeLock.h"

namespace platform {
namespace {
// One for the process: this library is shared by the program and the plug-in.
std::recursive_mutex& exchangeMutex() {
    static std::recursive_mutex m;
    return m;
}
}  // namespace

SerialExchangeLock::SerialExchangeLock() : lock_(exchangeMutex()) {}

}  // namespace platform
