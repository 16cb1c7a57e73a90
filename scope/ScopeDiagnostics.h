#pragma once
// The stream reader's counters, process-wide: written by the acquisition
// thread, read by the diagnostics panel, cleared at Run.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct ScopeDiagnostics {
    std::atomic<uint32_t> inputQueue{0};   // bytes queued at the last read attempt
    std::atomic<uint32_t> leadBytes{0};    // lead bytes consumed: records, answers, strays
    std::atomic<uint32_t> crcFailures{0};  // records whose CRC did not match
    std::atomic<uint32_t> waveDisplay{0};  // kept for the panel; never counted
    std::atomic<uint32_t> gdiSize{0};      // kept for the panel; never counted
    std::atomic<uint32_t> stallCount{0};   // consecutive polls finding a short, unchanged queue
    std::atomic<uint32_t> records{0};      // records that passed their CRC
    // Run sets both to 1.0 and nothing changes them; the panel shows the quotient.
    double sampleRateNumerator = 1.0;
    double sampleRateDenominator = 1.0;

    // What Run clears.
    void resetForRun();
    // The panel's lines ("cbInQue : 000000012", ...).
    std::vector<std::string> panelLines() const;
};

ScopeDiagnostics& scopeDiagnostics();
