#include "scope/ScopeDiagnostics.h"

#include <cstdio>

void ScopeDiagnostics::resetForRun()
{
    sampleRateNumerator = 1.0;
    sampleRateDenominator = 1.0;
    leadBytes = 0;
    crcFailures = 0;
    waveDisplay = 0;
    stallCount = 0;
    records = 0;
}

std::vector<std::string> ScopeDiagnostics::panelLines() const
{
    auto line = [](const char* format, unsigned long value) {
        char text[64];
        std::snprintf(text, sizeof text, format, value);
        return std::string(text);
    };
    char rate[64];
    std::snprintf(rate, sizeof rate, "Sample Rate : %9f", sampleRateNumerator / sampleRateDenominator);
    return {line("cbInQue : %09lu", inputQueue.load()),
            line("AllIn : %09lu", leadBytes.load()),
            line("Fail : %09lu", crcFailures.load()),
            line("WaveDisplay : %09lu", waveDisplay.load()),
            line("GdiSize : %09lu", gdiSize.load()),
            line("Off Line Check : %09lu", stallCount.load()),
            rate,
            line("Records : %09lu", records.load())};
}

ScopeDiagnostics& scopeDiagnostics()
{
    static ScopeDiagnostics instance;
    return instance;
}
