#include "scope/WaveformFile.h"

#include "scope/ScaleSettings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <sstream>

namespace {

void appendLine(std::string& out, const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
    out += "\r\n";
}

int low16(int value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

int truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}

struct SectionFormat {
    const char* header;
    const char* first;
};

// Sections go in channel order: Speed, Torque, Pulse Deviation, Speed Command.
const SectionFormat kSections[kScopeChannelCount] = {
    {"#  Chnnel           ,Number ,Data, RPM", "13 Speed            ,%03d     ,%d"},
    {"#  Chnnel           ,Number ,Data, 0.10%", "14 Torque           ,%03d     ,%d"},
    {"#  Chnnel           ,Number ,Data, Pulse", "15 Deviation Count  ,%03d     ,%d"},
    {"#  Chnnel           ,Number ,Data, RPM", "16 Command          ,%03d     ,%d"},
};

std::string afterComma(const std::string& line, size_t commas)
{
    size_t at = 0;
    for (size_t i = 0; i < commas; ++i) {
        at = line.find(',', at);
        if (at == std::string::npos)
            return {};
        ++at;
    }
    return line.substr(at);
}

}  // namespace

std::string WaveformTimeStamp(const std::tm& utc)
{
    char text[80];
    std::snprintf(text, sizeof text, "%04dyear %02dmonth %02dday %02d:%02d:%02d", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour + 8, utc.tm_min, utc.tm_sec);
    return text;
}

std::string WriteWaveformText(const WaveformSettings& s, const ChannelSamples& samples, const std::string& path,
                              const std::tm& utc)
{
    std::string out;
    const int checkedCount = static_cast<int>(std::count(s.checked.begin(), s.checked.end(), true));
    appendLine(out, "#");
    appendLine(out, "00 Model : QDDG Serials");
    appendLine(out, "01 Chnnel Amount : %d", checkedCount);
    appendLine(out, "02 Display Color : ");
    appendLine(out, "03 CWaveGdiView Ver : ");
    appendLine(out, "#");
    appendLine(out, "# file path : %s", path.c_str());
    appendLine(out, "# date and time : %s", WaveformTimeStamp(utc).c_str());
    appendLine(out, "#");
    appendLine(out, "#  Chnnel          ,Vol/Div");
    appendLine(out, "04 Speed           ,%d", low16(s.volDiv[kSpeed]));
    appendLine(out, "05 Torque          ,%d", low16(s.volDiv[kTorque]));
    appendLine(out, "06 Deviation Count ,%d", s.volDiv[kDeviation]);
    appendLine(out, "07 Command         ,%d", low16(s.volDiv[kCommand]));
    appendLine(out, "#");
    appendLine(out, "#  Chnnel ,Sec/Div");
    appendLine(out, "08 All ,%d", s.secDiv);
    appendLine(out, "#");
    appendLine(out, "#  Chnnel          ,Vertical Position");
    appendLine(out, "09 Speed           ,%d", low16(s.vertical[kSpeed]));
    appendLine(out, "10 Torque          ,%d", low16(s.vertical[kTorque]));
    appendLine(out, "11 Deviation Count ,%d", s.vertical[kDeviation]);
    appendLine(out, "12 Command         ,%d", low16(s.vertical[kCommand]));
    appendLine(out, "#");
    for (int c = 0; c < kScopeChannelCount; ++c) {
        if (!s.checked[static_cast<size_t>(c)])
            continue;
        const std::vector<double>& buffer = samples[static_cast<size_t>(c)];
        const size_t count = std::min(buffer.size(), static_cast<size_t>(std::max(s.secDiv, 0)) + 1);
        appendLine(out, "%s", kSections[c].header);
        for (size_t i = 0; i < count; ++i)
            appendLine(out, i == 0 ? kSections[c].first : "                    ,%03d     ,%d", static_cast<int>(i),
                       truncated(buffer[i]));
        appendLine(out, "#");
    }
    appendLine(out, "end of file.");
    return out;
}

bool ReadWaveformText(const std::string& text, WaveformRecall& out)
{
    if (text.empty() || text[0] != '#')
        return false;
    WaveformRecall recall;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // the opening "#"
    WaveformRecall::Section* section = nullptr;
    // A line without a data field (after the second comma) carries no sample.
    auto takeSample = [&section](const std::string& sampleLine) {
        if (std::count(sampleLine.begin(), sampleLine.end(), ',') >= 2 &&
            section->samples.size() < kMaxWaveformSamples)
            section->samples.push_back(
                static_cast<int16_t>(static_cast<uint16_t>(LeadingInteger(afterComma(sampleLine, 2)))));
    };
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (section) {
            if (line.find('#') != std::string::npos) {
                section = nullptr;
                continue;
            }
            takeSample(line);
            continue;
        }
        if (line.size() < 2 || line[0] == '#')
            continue;
        const std::string key = line.substr(0, 2);
        if (key < "04" || key > "16" || !std::isdigit(static_cast<unsigned char>(key[1])))
            continue;  // "00" to "03", "end of file." and anything else
        const int number = std::stoi(key);
        const std::string value = afterComma(line, 1);
        // Keys name the channels in the file's order: Speed, Torque,
        // Deviation Count, Command, which is the channel order.
        if (number <= 7)
            recall.volDivText[static_cast<size_t>(number - 4)] = value;
        else if (number == 8)
            recall.secDivText = value;
        else if (number <= 12)
            recall.verticalText[static_cast<size_t>(number - 9)] = value;
        else {
            recall.sections.push_back({number - 13, {}});
            section = &recall.sections.back();
            takeSample(line);
        }
    }
    out = std::move(recall);
    return true;
}
