#include "SettingsStore.h"

#include "IniFile.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

constexpr const char* kFileName = "settings.ini";
constexpr const char* kDefaultValueKey = "@";
constexpr const char* kDwordPrefix = "dword:";
constexpr const char* kRecentSection = "Recent File List";

std::mutex storeMutex;
std::string& folderOverride() {
    static std::string folder;
    return folder;
}

std::string defaultFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/Drivara";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* pw = ::getpwuid(::getuid());
        home = (pw != nullptr) ? pw->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config/Drivara";
}

std::string currentFolder() {
    return folderOverride().empty() ? defaultFolder() : folderOverride();
}

std::string storePath() { return currentFolder() + "/" + kFileName; }

bool hasBlankEnd(const std::string& s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    return !s.empty() && (blank(s.front()) || blank(s.back()));
}

bool validSubKey(const std::string& subKey) {
    return !subKey.empty() && !hasBlankEnd(subKey) && !breaksIniLine(subKey) &&
           subKey.find(']') == std::string::npos;
}

bool validName(const std::string& name) {
    if (name.empty()) return true;
    return name != kDefaultValueKey && !hasBlankEnd(name) && !breaksIniLine(name) &&
           name.find('=') == std::string::npos && name[0] != '[' && name[0] != ';';
}

std::string keyOf(const std::string& name) { return name.empty() ? kDefaultValueKey : name; }

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out + "\"";
}

bool unquote(const std::string& stored, std::string& text) {
    if (stored.size() < 2 || stored.front() != '"' || stored.back() != '"') return false;
    text.clear();
    for (size_t i = 1; i + 1 < stored.size(); ++i) {
        char c = stored[i];
        if (c == '\\') {
            if (i + 2 >= stored.size()) return false;
            const char e = stored[++i];
            c = e == 'n' ? '\n' : e == 'r' ? '\r' : e;
            if (e != 'n' && e != 'r' && e != '\\' && e != '"') return false;
        } else if (c == '"') {
            return false;
        }
        text += c;
    }
    return true;
}

bool parseDword(const std::string& stored, uint32_t& value) {
    const std::string prefix = kDwordPrefix;
    if (stored.size() != prefix.size() + 8 || stored.compare(0, prefix.size(), prefix) != 0)
        return false;
    uint32_t result = 0;
    for (size_t i = prefix.size(); i < stored.size(); ++i) {
        const char c = stored[i];
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
        else return false;
        result = (result << 4) | digit;
    }
    value = result;
    return true;
}

std::string formatDword(uint32_t value) {
    static const char hex[] = "0123456789abcdef";
    std::string out = kDwordPrefix;
    for (int shift = 28; shift >= 0; shift -= 4) out += hex[(value >> shift) & 0xF];
    return out;
}

SettingsStore::Status readStored(const std::string& subKey, const std::string& name,
                                 std::string& stored) {
    if (!validSubKey(subKey) || !validName(name)) return SettingsStore::Status::InvalidArgument;
    return IniFile::lookup(storePath(), subKey, keyOf(name), stored)
               ? SettingsStore::Status::Ok
               : SettingsStore::Status::NotFound;
}

bool ensureFolder() {
    std::error_code error;
    std::filesystem::create_directories(currentFolder(), error);
    return !error;
}

SettingsStore::Status writeStored(const std::string& subKey, const std::string& name,
                                  const std::string& stored) {
    if (!validSubKey(subKey) || !validName(name)) return SettingsStore::Status::InvalidArgument;
    if (!ensureFolder() || !IniFile::writeString(storePath(), subKey, keyOf(name), stored))
        return SettingsStore::Status::WriteFailed;
    return SettingsStore::Status::Ok;
}

}  // namespace

void SettingsStore::setFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(storeMutex);
    folderOverride() = folder;
}

std::string SettingsStore::folder() {
    std::lock_guard<std::mutex> lock(storeMutex);
    return currentFolder();
}

std::string SettingsStore::filePath() {
    std::lock_guard<std::mutex> lock(storeMutex);
    return storePath();
}

SettingsStore::Status SettingsStore::readDword(const std::string& subKey, const std::string& name,
                                               uint32_t& value) {
    std::lock_guard<std::mutex> lock(storeMutex);
    std::string stored;
    const Status status = readStored(subKey, name, stored);
    if (status != Status::Ok) return status;
    return parseDword(stored, value) ? Status::Ok : Status::WrongType;
}

SettingsStore::Status SettingsStore::writeDword(const std::string& subKey, const std::string& name,
                                                uint32_t value) {
    std::lock_guard<std::mutex> lock(storeMutex);
    return writeStored(subKey, name, formatDword(value));
}

SettingsStore::Status SettingsStore::readString(const std::string& subKey, const std::string& name,
                                                std::string& value) {
    std::lock_guard<std::mutex> lock(storeMutex);
    std::string stored;
    const Status status = readStored(subKey, name, stored);
    if (status != Status::Ok) return status;
    return unquote(stored, value) ? Status::Ok : Status::WrongType;
}

SettingsStore::Status SettingsStore::writeString(const std::string& subKey, const std::string& name,
                                                 const std::string& value) {
    if (value.find('\0') != std::string::npos) return Status::InvalidArgument;
    std::lock_guard<std::mutex> lock(storeMutex);
    return writeStored(subKey, name, quote(value));
}

SettingsStore::Status SettingsStore::maxValueLength(const std::string& subKey, uint32_t& length) {
    std::lock_guard<std::mutex> lock(storeMutex);
    if (!validSubKey(subKey)) return Status::InvalidArgument;
    const std::string path = storePath();
    if (!IniFile::hasSection(path, subKey)) return Status::NotFound;
    uint32_t longest = 0;
    for (const std::string& key : IniFile::keys(path, subKey)) {
        std::string stored, text;
        uint32_t number;
        if (!IniFile::lookup(path, subKey, key, stored)) continue;
        uint32_t bytes = 0;
        if (parseDword(stored, number)) bytes = 4;
        else if (unquote(stored, text)) bytes = static_cast<uint32_t>(text.size() + 1);
        if (bytes > longest) longest = bytes;
    }
    length = longest;
    return Status::Ok;
}

std::vector<std::string> SettingsStore::recentFiles() {
    std::vector<std::string> files;
    for (size_t i = 1; i <= kRecentFileCount; ++i) {
        std::string path;
        if (readString(kRecentSection, "File" + std::to_string(i), path) != Status::Ok) continue;
        bool seen = false;
        for (const std::string& f : files) seen = seen || f == path;
        if (!path.empty() && !seen) files.push_back(path);
    }
    return files;
}

bool SettingsStore::addRecentFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    // Read and rewrite the list as one step against other callers.
    static std::mutex listMutex;
    std::lock_guard<std::mutex> listLock(listMutex);
    std::vector<std::string> files{path};
    for (const std::string& f : recentFiles())
        if (f != path && files.size() < kRecentFileCount) files.push_back(f);

    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i < kRecentFileCount; ++i)
        entries.emplace_back("File" + std::to_string(i + 1), quote(i < files.size() ? files[i] : ""));
    std::lock_guard<std::mutex> lock(storeMutex);
    return ensureFolder() && IniFile::writeStrings(storePath(), kRecentSection, entries);
}

}  // namespace platform
