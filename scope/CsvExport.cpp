#include "scope/CsvExport.h"

#include "texts/LoadText.h"

#include <algorithm>
#include <cstdio>

namespace {

// Names come from the text table; a comma or quote in a translation must
// not split the column.
std::string quotedIfNeeded(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string WriteCsvText(const ChannelSamples& samples, const std::array<bool, kScopeChannelCount>& shown,
                         int captureLength)
{
    const size_t onScreen = static_cast<size_t>(std::max(captureLength, 0)) + 1;
    std::string out = "Time (ms)";
    size_t rows = 0;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        if (!shown[static_cast<size_t>(c)])
            continue;
        out += "," + quotedIfNeeded(LoadText(ChannelInfo(c).nameTextId) + " (" + PhysicalUnit(c) + ")");
        rows = std::max(rows, std::min(samples[static_cast<size_t>(c)].size(), onScreen));
    }
    out += "\r\n";
    for (size_t i = 0; i < rows; ++i) {
        out += std::to_string(i);
        for (int c = 0; c < kScopeChannelCount; ++c) {
            if (!shown[static_cast<size_t>(c)])
                continue;
            out += ",";
            const std::vector<double>& buffer = samples[static_cast<size_t>(c)];
            if (i >= buffer.size())
                continue;
            char field[48];
            std::snprintf(field, sizeof field, c == kTorque ? "%.1f" : "%.0f", PhysicalValue(c, buffer[i]));
            out += field;
        }
        out += "\r\n";
    }
    return out;
}
