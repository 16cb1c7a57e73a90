#pragma once
// Initialisation files with the private-profile rules: section and key names
// compare without regard to case, sections may stand anywhere among other
// text lines, values are trimmed and lose one pair of surrounding quotes, a
// missing key gives the caller's default, and a write keeps every other line
// (written to a temporary name, then renamed into place). A UTF-8
// byte-order mark at the start of a file is skipped, and kept on writing.

#include <string>
#include <utility>
#include <vector>

namespace platform {

class IniFile {
public:
    static std::string readString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& defaultValue);
    // The leading decimal number of the value (sign allowed); the default when
    // the key is missing or its value empty; 0 when the value does not start
    // with a number.
    static int readInt(const std::string& path, const std::string& section,
                       const std::string& key, int defaultValue);
    // Creates the file, section or key as needed. False when it cannot write.
    static bool writeString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value);
    static bool writeInt(const std::string& path, const std::string& section,
                         const std::string& key, int value);
    // Key names of a section, in file order.
    static std::vector<std::string> keys(const std::string& path, const std::string& section);

    // The trimmed value of a key, quotes kept; false (and `value` untouched)
    // when the file, section or key is missing. Tells an empty value from a
    // missing key.
    static bool lookup(const std::string& path, const std::string& section,
                       const std::string& key, std::string& value);
    static bool hasSection(const std::string& path, const std::string& section);
    // The same look-ups in a file's text already in memory, for a reader
    // that takes many keys from one file.
    static bool lookupInText(const std::string& bytes, const std::string& section, const std::string& key,
                             std::string& value);
    static int readIntInText(const std::string& bytes, const std::string& section, const std::string& key,
                             int defaultValue);
    // Writes many keys of one section in a single rewrite of the file.
    // Names holding a line break, a section name holding ']', a key holding
    // '=' or starting with '[' or ';', and values holding a line break are
    // refused (false, file untouched), since they would corrupt the file.
    static bool writeStrings(const std::string& path, const std::string& section,
                             const std::vector<std::pair<std::string, std::string>>& entries);
};

// True when a name or value holds a line break or NUL, which would break the
// one-entry-a-line layout of an initialisation file.
bool breaksIniLine(const std::string& text);

}  // namespace platform
