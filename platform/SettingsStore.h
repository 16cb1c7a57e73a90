#pragma once
// The per-user settings store that stands in for the vendor's registry key:
// one initialisation file under $XDG_CONFIG_HOME/Drivara (or ~/.config),
// where a section is a sub-key path and a key is a value name. Values keep
// their type: 32-bit numbers are stored as dword:0000002a, strings quoted
// with \\, \", \n and \r escaped. Also keeps the recent-file list.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class SettingsStore {
public:
    enum class Status { Ok, NotFound, WrongType, InvalidArgument, WriteFailed };

    static constexpr size_t kRecentFileCount = 4;

    // The folder of the store; tests redirect it to a temporary folder, an
    // empty path restores the per-user default.
    static void setFolder(const std::string& folder);
    static std::string folder();
    static std::string filePath();

    // The empty value name is the sub-key's default value. Sub-keys and
    // names that the file could not hold (line breaks, ']' in a sub-key,
    // '=' in a name, blanks at either end) give InvalidArgument.
    static Status readDword(const std::string& subKey, const std::string& name, uint32_t& value);
    static Status writeDword(const std::string& subKey, const std::string& name, uint32_t value);
    static Status readString(const std::string& subKey, const std::string& name, std::string& value);
    // A string cannot hold a zero byte (InvalidArgument).
    static Status writeString(const std::string& subKey, const std::string& name,
                              const std::string& value);
    // Bytes of the longest value under the sub-key: 4 for a number, the text
    // and its terminating zero for a string. NotFound without the sub-key.
    static Status maxValueLength(const std::string& subKey, uint32_t& length);

    // Most recent first, at most kRecentFileCount entries.
    static std::vector<std::string> recentFiles();
    // Moves (or adds) the path to the front. False for an empty path or when
    // the store cannot be written.
    static bool addRecentFile(const std::string& path);
};

}  // namespace platform
