#include "plugin/WpdFile.h"

#include "plugin/PointTableLayout.h"
#include "plugin/WaypadTexts.h"
#include "platform/AtomicFile.h"
#include "platform/IniFile.h"

#include <cstdlib>
#include <set>

namespace waypad {
namespace {

constexpr const char* kSetupSection = "WPD Setup";
constexpr const char* kVersionKey = "FileVersion";
constexpr const char* kVersion = "0.0.0";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Text after the last line break that is not blank: the file was cut
// inside its last line.
bool endsInsideALine(const std::string& bytes)
{
    const size_t lastBreak = bytes.rfind('\n');
    const size_t tail = lastBreak == std::string::npos ? 0 : lastBreak + 1;
    for (size_t i = tail; i < bytes.size(); ++i)
        if (!isBlank(bytes[i]))
            return true;
    return false;
}

WpdReadResult refuse(unsigned textId, const std::string& detail = {})
{
    WpdReadResult r;
    r.errorTextId = textId;
    r.errorDetail = detail;
    return r;
}

}  // namespace

bool ParseWholeNumber(const std::string& text, int32_t& value)
{
    size_t first = 0, last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    const std::string number = text.substr(first, last - first);
    if (number.empty() || number.size() > 12)
        return false;
    char* end = nullptr;
    const long long v = std::strtoll(number.c_str(), &end, 10);
    if (end != number.c_str() + number.size() || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

WpdReadResult ReadWpdFile(const std::string& path)
{
    std::string bytes;
    if (platform::readWholeFile(path, bytes) != platform::FileReadResult::Ok)
        return refuse(kFileUnreadableText);
    if (bytes.find('\0') != std::string::npos)
        return refuse(kFileNotPointTableText);

    std::set<std::string> present;
    for (const ParamPlace& place : ParamPlaces())
        if (!present.count(place.section) && platform::IniFile::hasSection(path, place.section))
            present.insert(place.section);
    const bool hasSetup = platform::IniFile::hasSection(path, kSetupSection);
    if (present.empty() && !hasSetup)
        return refuse(kFileNotPointTableText);
    if (endsInsideALine(bytes))
        return refuse(kFileCutShortText);

    WpdReadResult r;
    for (const ParamPlace& place : ParamPlaces()) {
        if (!present.count(place.section))
            continue;  // a missing section loads zeros
        const std::string where = "[" + place.section + "] " + place.key;
        std::string text;
        if (!platform::IniFile::lookup(path, place.section, place.key, text))
            return refuse(kFileMissingKeyText, where);
        if (!ParseWholeNumber(text, r.values[place.field]))
            return refuse(kFileBadValueText, where);
    }
    r.fileVersion = platform::IniFile::readString(path, kSetupSection, kVersionKey, kVersion);
    r.ok = true;
    return r;
}

bool WriteWpdFile(const std::string& path, const ParameterValues& values)
{
    std::string text = std::string("[") + kSetupSection + "]\n" + kVersionKey + "=" + kVersion + "\n";
    std::string section;
    for (const ParamPlace& place : ParamPlaces()) {
        if (place.section != section) {
            section = place.section;
            text += "[" + section + "]\n";
        }
        text += place.key + "=" + std::to_string(values[place.field]) + "\n";
    }
    return platform::writeFileAtomically(path, text);
}

}  // namespace waypad
