#pragma once
// The COM-number port table: "COM n" (1..16) names a serial device path.
// Explicit entries (section "PortMap" of the settings file, "COM1=/dev/ttyUSB0")
// come first; the remaining numbers take the serial devices present, in the
// order ttyUSB*, ttyACM*, ttyS*. The device scan is cached until rescan().

#include <string>
#include <vector>

namespace platform {

struct PortEntry {
    int com = 0;
    std::string devicePath;
    bool explicitEntry = false;  // from the settings file or setExplicitEntry
};

class PortTable {
public:
    static constexpr int kFirstCom = 1;
    static constexpr int kLastCom = 16;

    // Replaces the explicit entries by the keys "COM1".."COM16" of section
    // "PortMap" of the initialisation file at `iniPath`.
    static void loadFromIni(const std::string& iniPath);
    // An empty path removes the entry; numbers outside 1..16 are ignored.
    static void setExplicitEntry(int com, const std::string& devicePath);
    // Drops the explicit entries and the cached scan.
    static void clear();
    // Forgets the cached scan; the next lookup scans again.
    static void rescan();
    // Where the scan looks for devices ("/dev" unless a test changes it).
    static void setDeviceDirectory(const std::string& directory);

    // The device of "COM com"; empty when the number has none.
    static std::string devicePath(int com);
    // Every number that has a device, in ascending order.
    static std::vector<PortEntry> list();
    // "COM 3 (/dev/ttyUSB0)", or "COM 3" when the number has no device; a
    // USB adapter adds its name from serial/by-id of the device directory:
    // "COM 3 (/dev/ttyUSB0, FTDI FT232R USB UART A50285BI)".
    static std::string displayName(int com);
};

}  // namespace platform
