#include "IniFile.h"

#include "AtomicFile.h"

#include <climits>
#include <mutex>
#include <string_view>

namespace platform {
namespace {

enum class LineKind { Other, Section, Key };

// What a line says, as views into the file's bytes.
struct LineView {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
};

// One line of a file being rewritten. `raw` holds its bytes exactly, line
// end included, so that every untouched line comes out byte for byte.
struct IniLine {
    std::string raw;
    LineKind kind = LineKind::Other;
    std::string name;
    std::string value;
};

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view trim(std::string_view s) {
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return std::string_view();
    const size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// The line without its terminator ("\n" or "\r\n").
std::string_view content(std::string_view raw) {
    size_t end = raw.size();
    if (end > 0 && raw[end - 1] == '\n') --end;
    if (end > 0 && raw[end - 1] == '\r') --end;
    return raw.substr(0, end);
}

LineView classifyView(std::string_view raw) {
    LineView line;
    const std::string_view text = trim(content(raw));
    if (text.empty() || text[0] == ';') return line;
    if (text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) return line;
        line.kind = LineKind::Section;
        line.name = trim(text.substr(1, close - 1));
        return line;
    }
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos) return line;
    const std::string_view key = trim(text.substr(0, eq));
    if (key.empty()) return line;
    line.kind = LineKind::Key;
    line.name = key;
    line.value = trim(text.substr(eq + 1));
    return line;
}

IniLine classify(std::string raw) {
    const LineView view = classifyView(raw);
    IniLine line;
    line.kind = view.kind;
    line.name = std::string(view.name);
    line.value = std::string(view.value);
    line.raw = std::move(raw);
    return line;
}

// Calls visit(raw line, what it says) for each line until visit returns false.
template <typename Visit>
void forEachLine(std::string_view bytes, Visit visit) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t nl = bytes.find('\n', pos);
        const size_t end = (nl == std::string_view::npos) ? bytes.size() : nl + 1;
        const std::string_view raw = bytes.substr(pos, end - pos);
        if (!visit(raw, classifyView(raw))) return;
        pos = end;
    }
}

std::vector<IniLine> parse(const std::string& bytes) {
    std::vector<IniLine> lines;
    forEachLine(bytes, [&lines](std::string_view raw, const LineView&) {
        lines.push_back(classify(std::string(raw)));
        return true;
    });
    return lines;
}

// Visits the lines of the first section named `section` (the header
// excluded); false when there is no such section. A byte-order mark in front
// of the text is no part of its first line.
template <typename Visit>
bool forEachSectionLine(std::string_view bytes, std::string_view section, Visit visit) {
    bytes.remove_prefix(utf8BomLength(bytes));
    bool found = false, inside = false;
    forEachLine(bytes, [&](std::string_view raw, const LineView& line) {
        if (line.kind == LineKind::Section) {
            if (inside) return false;
            inside = found = sameName(line.name, section);
            return true;
        }
        return !inside || visit(raw, line);
    });
    return found;
}

// Index of the first header of `section`, or -1.
long findSection(const std::vector<IniLine>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == LineKind::Section && sameName(lines[i].name, section))
            return static_cast<long>(i);
    return -1;
}

// One past the last line of the section whose header is at `header`.
size_t sectionEnd(const std::vector<IniLine>& lines, size_t header) {
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
    return i;
}

// New lines follow the file's own line ending.
std::string lineEndOf(const std::vector<IniLine>& lines) {
    for (const IniLine& line : lines) {
        const std::string& r = line.raw;
        if (!r.empty() && r.back() == '\n')
            return (r.size() >= 2 && r[r.size() - 2] == '\r') ? "\r\n" : "\n";
    }
    return "\n";
}

bool terminated(const IniLine& line) { return !line.raw.empty() && line.raw.back() == '\n'; }

bool validSection(const std::string& section) {
    return !section.empty() && !breaksIniLine(section) && section.find(']') == std::string::npos;
}

bool validKey(const std::string& key) {
    return !key.empty() && !breaksIniLine(key) && key.find('=') == std::string::npos &&
           key[0] != '[' && key[0] != ';';
}

void setKey(std::vector<IniLine>& lines, const std::string& section, const std::string& key,
            const std::string& value, const std::string& eol) {
    long header = findSection(lines, section);
    if (header < 0) {
        if (!lines.empty() && !terminated(lines.back())) lines.back().raw += eol;
        lines.push_back(classify("[" + section + "]" + eol));
        header = static_cast<long>(lines.size()) - 1;
    }
    const size_t first = static_cast<size_t>(header) + 1;
    const size_t end = sectionEnd(lines, static_cast<size_t>(header));
    for (size_t i = first; i < end; ++i) {
        if (lines[i].kind == LineKind::Key && sameName(lines[i].name, key)) {
            const std::string raw = lines[i].raw;
            const std::string ending = raw.substr(content(raw).size());
            lines[i] = classify(lines[i].name + "=" + value + ending);
            return;
        }
    }
    // After the section's last non-blank line, so blank separators stay put.
    size_t after = static_cast<size_t>(header);
    for (size_t i = first; i < end; ++i)
        if (!trim(content(lines[i].raw)).empty()) after = i;
    if (!terminated(lines[after])) lines[after].raw += eol;
    lines.insert(lines.begin() + static_cast<long>(after) + 1, classify(key + "=" + value + eol));
}

// Writers in this process take turns, so two of them cannot interleave the
// read-modify-rename of one file.
std::mutex& writeMutex() {
    static std::mutex m;
    return m;
}

std::string load(const std::string& path) {
    std::string bytes;
    if (readWholeFile(path, bytes) != FileReadResult::Ok) bytes.clear();
    return bytes;
}

// A value as the private-profile reader gives it: one pair of matching
// quotes around it is removed.
std::string unquoted(const std::string& value) {
    const size_t n = value.size();
    if (n >= 2 && (value[0] == '"' || value[0] == '\'') && value[n - 1] == value[0])
        return value.substr(1, n - 2);
    return value;
}

}  // namespace

bool IniFile::lookup(const std::string& path, const std::string& section, const std::string& key,
                     std::string& value) {
    return lookupInText(load(path), section, key, value);
}

bool IniFile::lookupInText(const std::string& bytes, const std::string& section, const std::string& key,
                           std::string& value) {
    const std::string_view wanted = trim(key);
    bool found = false;
    forEachSectionLine(bytes, trim(section), [&](std::string_view, const LineView& line) {
        if (line.kind != LineKind::Key || !sameName(line.name, wanted)) return true;
        value = std::string(line.value);
        found = true;
        return false;
    });
    return found;
}

bool IniFile::hasSection(const std::string& path, const std::string& section) {
    return forEachSectionLine(load(path), trim(section),
                              [](std::string_view, const LineView&) { return false; });
}

std::string IniFile::readString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& defaultValue) {
    std::string value;
    return lookup(path, section, key, value) ? unquoted(value) : defaultValue;
}

int IniFile::readInt(const std::string& path, const std::string& section, const std::string& key,
                     int defaultValue) {
    return readIntInText(load(path), section, key, defaultValue);
}

int IniFile::readIntInText(const std::string& bytes, const std::string& section, const std::string& key,
                           int defaultValue) {
    std::string raw;
    if (!lookupInText(bytes, section, key, raw)) return defaultValue;
    // An empty value is no number: the caller's default, as for a missing key.
    const std::string value = unquoted(raw);
    if (value.empty()) return defaultValue;
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    // Saturates instead of overflowing on absurdly long digit runs.
    long long magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (value[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    const long long result = negative ? -magnitude : magnitude;
    if (result > INT_MAX) return INT_MAX;
    return static_cast<int>(result);
}

bool IniFile::writeStrings(const std::string& path, const std::string& section,
                           const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::string sectionName(trim(section));
    if (!validSection(sectionName)) return false;
    for (const auto& entry : entries)
        if (!validKey(std::string(trim(entry.first))) || breaksIniLine(entry.second)) return false;

    std::lock_guard<std::mutex> lock(writeMutex());
    std::string bytes;
    // An unreadable file is never replaced: that would lose its contents.
    if (readWholeFile(path, bytes) == FileReadResult::Failed) return false;
    // A byte-order mark stays in front, outside the first line.
    const size_t bom = utf8BomLength(bytes);
    std::vector<IniLine> lines = parse(bytes.substr(bom));
    const std::string eol = lineEndOf(lines);
    for (const auto& entry : entries) setKey(lines, sectionName, std::string(trim(entry.first)), entry.second, eol);

    std::string out = bytes.substr(0, bom);
    out.reserve(bytes.size() + 64 * entries.size() + 64);
    for (const IniLine& line : lines) out += line.raw;
    return writeFileAtomically(path, out);
}

bool IniFile::writeString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& value) {
    return writeStrings(path, section, {{key, value}});
}

bool IniFile::writeInt(const std::string& path, const std::string& section, const std::string& key,
                       int value) {
    return writeString(path, section, key, std::to_string(value));
}

std::vector<std::string> IniFile::keys(const std::string& path, const std::string& section) {
    std::vector<std::string> names;
    forEachSectionLine(load(path), trim(section), [&names](std::string_view, const LineView& line) {
        if (line.kind != LineKind::Key) return true;
        for (const std::string& n : names)
            if (sameName(n, line.name)) return true;
        names.emplace_back(line.name);
        return true;
    });
    return names;
}

bool breaksIniLine(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

}  // namespace platform
