#include "texts/LanguageFile.h"

#include "platform/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <algorithm>

namespace {

std::string trimmed(const std::string& s)
{
    const char* blanks = " \t\r\n\f\v";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

void replaceAll(std::string& text, const std::string& from, char to)
{
    for (auto pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + 1))
        text.replace(pos, from.size(), 1, to);
}

// The identifier as "%u" reads it: leading white space, an optional "+",
// decimal digits. Anything else (no digits, a minus sign, overflow) is not an
// identifier, so the line is skipped instead of filed under a garbage number.
bool readIdentifier(const std::string& left, unsigned& id)
{
    std::size_t i = 0;
    while (i < left.size() && std::isspace(static_cast<unsigned char>(left[i])))
        ++i;
    if (i < left.size() && left[i] == '+')
        ++i;
    if (i >= left.size() || !std::isdigit(static_cast<unsigned char>(left[i])))
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(left.c_str() + i, &end, 10);
    if (errno == ERANGE || value > 0xFFFFFFFFull)
        return false;
    id = static_cast<unsigned>(value);
    return true;
}

}  // namespace

std::string LanguageFile::unescape(std::string text)
{
    replaceAll(text, "\\t", '\t');
    replaceAll(text, "\\r", '\r');
    replaceAll(text, "\\n", '\n');
    return text;
}

std::vector<LanguageFile::Entry> LanguageFile::parse(std::istream& in)
{
    std::vector<Entry> entries;
    bool inTable = false;
    std::string line;
    for (bool first = true; std::getline(in, line); first = false) {
        // A byte-order mark in front would hide the header of the first line.
        if (first)
            line.erase(0, platform::utf8BomLength(line));
        // A file written with CRLF line ends reads the same as one with LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inTable) {
            if (trimmed(line) == "[StringTable]")
                inTable = true;
            continue;
        }
        if (!line.empty() && line[0] == '[')
            break;
        if (!line.empty() && line[0] == ';')
            continue;
        const auto equals = line.find('=');
        unsigned id = 0;
        if (equals == std::string::npos || !readIdentifier(line.substr(0, equals), id))
            continue;
        std::string text = line.substr(equals + 1);
        text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
        entries.emplace_back(id, unescape(std::move(text)));
    }
    return entries;
}
