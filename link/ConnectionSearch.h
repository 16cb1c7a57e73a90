#pragma once
// The search for a drive over COM ports, baud rates and station numbers:
// one chosen port at every rate, or all 16 ports at every rate. Rates are
// tried fastest first. Progress is reported before every try and every
// scanned address, and the callback may cancel.

#include "platform/SerialPort.h"

#include <cstdint>
#include <functional>
#include <vector>

struct SearchProgress {
    int step = 0;        // 1 to 64 over an automatic search (one per port and rate)
    int port = 0;        // COM number being tried
    int baudIndex = 0;   // 3 115200, 2 57600, 1 38400, 0 19200
    int address = 0;     // station being asked, 0 while the port is opened
};

class ConnectionSearch {
public:
    enum class Outcome { Found, NotFound, Cancelled };
    struct Result {
        Outcome outcome = Outcome::NotFound;
        int port = 0;
        int baudIndex = -1;
        uint8_t slaveAddress = 0;
        platform::PortHandle handle = platform::kNoPort;
        // A port that exists but would not open, e.g. for lack of permission.
        int refusedPort = 0;
        platform::SerialError refusedReason = platform::SerialError::None;
        // A chosen port found a station that did not answer a second time.
        bool recheckFailed = false;
    };
    static constexpr int kAutoSearchSteps = 64;

    // portRow 0 searches every port, 1-16 that port; stationRow 0 scans
    // addresses, 1-255 asks that station.
    ConnectionSearch(int portRow, int stationRow);
    // Returns false to cancel the search.
    void setProgress(std::function<bool(const SearchProgress&)> progress);
    // Highest address a station scan tries (255 unless narrowed).
    void setLastScanAddress(int address);
    // The rates tried, as baud indices in order (all four, fastest first,
    // unless narrowed); indices outside 0..3 are left out.
    void setBaudIndices(const std::vector<int>& baudIndices);

    // The found port stays open (and is the link's port handle); every other
    // port tried is closed again.
    Result run();

private:
    bool report(const SearchProgress& progress);
    bool tryPort(int port, int baudIndex, int step, Result& result);
    Result searchChosenPort();
    Result searchAllPorts();

    int portRow_;
    int stationRow_;
    int lastScanAddress_ = 255;
    std::vector<int> baudOrder_;
    bool cancelled_ = false;
    std::function<bool(const SearchProgress&)> progress_;
};
