#include "CStringResource.h"

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"

#include <cstdint>

namespace {

constexpr const char* kSectionName = "StringTable";
constexpr const char* kHeader = "[StringTable]";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string trim(const std::string& s) {
    size_t first = 0, last = s.size();
    while (first < last && isBlank(s[first])) ++first;
    while (last > first && isBlank(s[last - 1])) --last;
    return s.substr(first, last - first);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

// The identifier in front of '=' as "%u" reads it: blanks, then digits; the
// rest is ignored. Negative or out-of-range numbers are malformed here.
bool parseIdentifier(const std::string& left, unsigned int& id) {
    size_t i = 0;
    while (i < left.size() && isBlank(left[i])) ++i;
    if (i < left.size() && left[i] == '+') ++i;
    const size_t digitsStart = i;
    uint64_t value = 0;
    for (; i < left.size() && left[i] >= '0' && left[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(left[i] - '0');
        if (value > UINT32_MAX) return false;
    }
    if (i == digitsStart) return false;
    id = static_cast<unsigned int>(value);
    return true;
}

// Splits at '\n' and drops the line end ("\n", or "\r\n" from a file made
// on a system that ends lines that way).
std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        size_t end = (nl == std::string::npos) ? bytes.size() : nl;
        size_t contentEnd = end;
        if (nl != std::string::npos && contentEnd > pos && bytes[contentEnd - 1] == '\r') --contentEnd;
        lines.push_back(bytes.substr(pos, contentEnd - pos));
        pos = (nl == std::string::npos) ? bytes.size() : nl + 1;
    }
    return lines;
}

}  // namespace

CStringResource::CStringResource(const BuiltInStringTable* const* module)
    : m_module(module), m_table(std::make_shared<std::vector<Entry>>()) {}

CStringResource::~CStringResource() = default;
CStringResource::CStringResource(const CStringResource&) = default;
CStringResource& CStringResource::operator=(const CStringResource&) = default;

int CStringResource::ReadTableFile(const char* path) {
    if (path == nullptr) return 0;
    std::string bytes;
    if (platform::readWholeFile(path, bytes) != platform::FileReadResult::Ok) return 0;

    std::vector<Entry> entries;
    bool inTable = false;
    // Lines of any length are taken whole, so a long text is never split
    // into a second, bogus line.
    // A byte-order mark in front would hide the header of the first line.
    for (std::string& line : splitLines(bytes.substr(platform::utf8BomLength(bytes)))) {
        if (!inTable) {
            inTable = !line.empty() && trim(line) == kHeader;
            continue;
        }
        if (!line.empty() && line[0] == '[') break;
        if (!line.empty() && line[0] == ';') continue;
        const size_t eq = line.find('=');
        unsigned int id = 0;
        if (eq == std::string::npos || !parseIdentifier(line.substr(0, eq), id)) continue;
        std::string text = line.substr(eq + 1);
        replaceAll(text, "\\t", "\t");
        replaceAll(text, "\\r", "\r");
        replaceAll(text, "\\n", "\n");
        entries.push_back(Entry{id, std::move(text)});
    }
    *m_table = std::move(entries);
    return 1;
}

std::string CStringResource::builtIn(unsigned int id) const {
    if (m_module == nullptr || *m_module == nullptr) return std::string();
    const auto found = (*m_module)->find(id);
    return found == (*m_module)->end() ? std::string() : found->second;
}

std::string CStringResource::GetResString(unsigned int id) const {
    for (const Entry& entry : *m_table) {
        if (entry.id != id) continue;
        if (!entry.text.empty()) return entry.text;
        break;  // an empty text never hides the built-in one
    }
    return builtIn(id);
}

bool CStringResource::CreateTableFile(const char* path, unsigned int highest) const {
    if (path == nullptr) return false;
    std::vector<std::pair<std::string, std::string>> lines;
    if (m_module != nullptr && *m_module != nullptr) {
        // Walks the table itself, so a highest identifier of 2^32-1 ends.
        for (const auto& [id, builtInText] : **m_module) {
            if (id > highest) break;
            // A built-in text ends at a zero byte, as a C string would.
            std::string text = builtInText.substr(0, builtInText.find('\0'));
            if (text.empty()) continue;
            replaceAll(text, "\t", "\\t");
            replaceAll(text, "\r", "\\r");
            replaceAll(text, "\n", "\\n");
            lines.emplace_back(std::to_string(id), std::move(text));
        }
    }
    if (lines.empty()) return true;  // nothing to write: the file is left alone
    return platform::IniFile::writeStrings(path, kSectionName, lines);
}
