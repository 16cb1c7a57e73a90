#include "SerialAdapterNames.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <vector>

namespace platform {
namespace {

// The resolved path, or empty when it does not lead anywhere.
std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

bool endsWithInterfaceSuffix(const std::string& name, std::string::size_type& start) {
    // "-if00" or "-if00-port0" at the end.
    std::string::size_type pos = name.rfind("-if");
    if (pos == std::string::npos || pos == 0) return false;
    std::string::size_type i = pos + 3;
    const std::string::size_type digits = i;
    while (i < name.size() && std::isxdigit(static_cast<unsigned char>(name[i]))) ++i;
    if (i == digits) return false;
    if (i < name.size()) {
        if (name.compare(i, 5, "-port") != 0) return false;
        i += 5;
        const std::string::size_type portDigits = i;
        while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
        if (i == portDigits || i != name.size()) return false;
    }
    start = pos;
    return true;
}

}  // namespace

std::string SerialAdapterNames::readableName(const std::string& byIdLinkName) {
    std::string name = byIdLinkName;
    if (name.rfind("usb-", 0) == 0) name.erase(0, 4);
    std::string::size_type suffix = 0;
    if (endsWithInterfaceSuffix(name, suffix)) name.erase(suffix);
    std::replace(name.begin(), name.end(), '_', ' ');
    return name.empty() ? byIdLinkName : name;
}

std::string SerialAdapterNames::adapterName(const std::string& deviceDirectory, const std::string& devicePath) {
    const std::string device = resolved(devicePath);
    if (device.empty()) return std::string();
    const std::string byId = deviceDirectory + "/serial/by-id";
    std::vector<std::string> links;
    if (DIR* dir = ::opendir(byId.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && resolved(byId + "/" + name) == device) links.push_back(name);
        }
        ::closedir(dir);
    }
    if (links.empty()) return std::string();
    // One device rarely has two links; take the same one every time.
    return readableName(*std::min_element(links.begin(), links.end()));
}

}  // namespace platform
