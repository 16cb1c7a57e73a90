#include "monitor/AlarmHistoryCsv.h"

#include "monitor/AlarmTexts.h"
#include "platform/AtomicFile.h"

namespace {

// A text field: trimmed, always quoted, inner quotes doubled, so a language
// file's commas or quotes cannot shift the columns.
std::string quoted(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    const std::string trimmed = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    std::string field = "\"";
    for (char c : trimmed) {
        if (c == '"')
            field += '"';
        field += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return field + "\"";
}

}  // namespace

std::string AlarmHistoryCsv(const AlarmReadout& readout)
{
    std::string csv = "Position,Code,Text\n";
    for (int k = 0; k < kAlarmHistoryLength; ++k) {
        const int code = readout.history[k];
        csv += std::to_string(k + 1) + "," + std::to_string(code) + "," + quoted(AlarmText(code)) + "\n";
    }
    return csv;
}

bool SaveAlarmHistoryCsv(const std::string& path, const AlarmReadout& readout)
{
    return platform::writeFileAtomically(path, AlarmHistoryCsv(readout));
}
