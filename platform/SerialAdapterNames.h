#pragma once
// Stable names of USB serial adapters, from the links udev keeps in
// <device directory>/serial/by-id ("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"
// -> ttyUSB0). The kernel's ttyUSB numbers follow the plug-in order; these
// names carry the maker, model and serial number, so a user with two
// adapters can tell them apart.

#include <string>

namespace platform {

class SerialAdapterNames {
public:
    // "FTDI FT232R USB UART A50285BI" for the link name above: without the
    // bus prefix and the interface suffix, underscores as blanks.
    static std::string readableName(const std::string& byIdLinkName);
    // The readable name of the by-id link that leads to the same device as
    // `devicePath`; empty when there is none (a built-in port, a pty).
    static std::string adapterName(const std::string& deviceDirectory, const std::string& devicePath);
};

}  // namespace platform
