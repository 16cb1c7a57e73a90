#include "PortTable.h"

#include "IniFile.h"
#include "SerialAdapterNames.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <map>
#include <mutex>
#include <optional>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

struct PortTableState {
    std::mutex mutex;
    std::map<int, std::string> explicitEntries;
    std::optional<std::vector<std::string>> scannedDevices;
    std::string deviceDirectory = "/dev";
};

PortTableState& state() {
    static PortTableState s;
    return s;
}

bool validCom(int com) { return com >= PortTable::kFirstCom && com <= PortTable::kLastCom; }

// Device families in the order they take free numbers, with their name prefix.
const char* const kFamilies[] = {"ttyUSB", "ttyACM", "ttyS"};

// The number after the prefix, or -1 when the rest is not all digits.
long deviceIndex(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    const std::string digits = name.substr(prefix.size());
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), isDigit)) return -1;
    return std::strtol(digits.c_str(), nullptr, 10);
}

// A device counts as present when it answers tcgetattr. A device that is
// busy or forbidden to us is present too: opening it later reports why.
// Opened non-blocking, so absent modem lines cost next to nothing.
bool isPresentSerialDevice(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY || errno == EACCES;
    termios tio{};
    bool present = tcgetattr(fd, &tio) == 0;
    // Legacy 16550 slots without hardware answer tcgetattr but have no UART.
    serial_struct info{};
    if (present && ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN) present = false;
    ::close(fd);
    return present;
}

std::vector<std::string> scanDevices(const std::string& directory) {
    std::vector<std::pair<int, std::pair<long, std::string>>> found;
    if (DIR* dir = ::opendir(directory.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            for (int family = 0; family < 3; ++family) {
                long index = deviceIndex(name, kFamilies[family]);
                if (index >= 0) {
                    found.push_back({family, {index, name}});
                    break;
                }
            }
        }
        ::closedir(dir);
    }
    std::sort(found.begin(), found.end());  // family order, then numeric order
    std::vector<std::string> present;
    for (const auto& f : found) {
        const std::string path = directory + "/" + f.second.second;
        if (isPresentSerialDevice(path)) present.push_back(path);
    }
    return present;
}

// Builds the whole table. Called with the state's mutex held.
std::map<int, std::string> buildTable(PortTableState& s) {
    if (!s.scannedDevices) s.scannedDevices = scanDevices(s.deviceDirectory);
    std::map<int, std::string> table = s.explicitEntries;
    auto device = s.scannedDevices->begin();
    for (int com = PortTable::kFirstCom; com <= PortTable::kLastCom; ++com) {
        if (table.count(com)) continue;
        // A device already named explicitly does not get a second number.
        while (device != s.scannedDevices->end() &&
               std::any_of(s.explicitEntries.begin(), s.explicitEntries.end(),
                           [&](const auto& e) { return e.second == *device; }))
            ++device;
        if (device == s.scannedDevices->end()) break;
        table[com] = *device++;
    }
    return table;
}

}  // namespace

void PortTable::loadFromIni(const std::string& iniPath) {
    std::map<int, std::string> entries;
    for (int com = kFirstCom; com <= kLastCom; ++com) {
        std::string path = IniFile::readString(iniPath, "PortMap", "COM" + std::to_string(com), "");
        if (!path.empty()) entries[com] = path;
    }
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.explicitEntries = std::move(entries);
}

void PortTable::setExplicitEntry(int com, const std::string& devicePath) {
    if (!validCom(com)) return;
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (devicePath.empty())
        s.explicitEntries.erase(com);
    else
        s.explicitEntries[com] = devicePath;
}

void PortTable::clear() {
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.explicitEntries.clear();
    s.scannedDevices.reset();
}

void PortTable::rescan() {
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.scannedDevices.reset();
}

void PortTable::setDeviceDirectory(const std::string& directory) {
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.deviceDirectory = directory;
    s.scannedDevices.reset();
}

std::string PortTable::devicePath(int com) {
    if (!validCom(com)) return std::string();
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    // An explicit entry needs no scan.
    auto it = s.explicitEntries.find(com);
    if (it != s.explicitEntries.end()) return it->second;
    auto table = buildTable(s);
    auto found = table.find(com);
    return found == table.end() ? std::string() : found->second;
}

std::vector<PortEntry> PortTable::list() {
    auto& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    std::vector<PortEntry> out;
    for (const auto& [com, path] : buildTable(s))
        out.push_back({com, path, s.explicitEntries.count(com) > 0});
    return out;
}

std::string PortTable::displayName(int com) {
    const std::string path = devicePath(com);
    std::string name = "COM " + std::to_string(com);
    if (path.empty()) return name;
    std::string directory;
    {
        auto& s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        directory = s.deviceDirectory;
    }
    // A USB adapter also shows its stable name, so two adapters can be told apart.
    const std::string adapter = SerialAdapterNames::adapterName(directory, path);
    return name + " (" + path + (adapter.empty() ? "" : ", " + adapter) + ")";
}

}  // namespace platform
