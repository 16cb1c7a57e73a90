#pragma once
// What confirming the connection dialog does, without the dialog: keep the
// settings, let the previous port go, then either go off line or search for
// a drive and take it into use, telling the user the outcome.

#include "link/ConnectionSearch.h"

#include <functional>
#include <string>

struct ConnectRequest {
    bool offline = false;
    int portRow = 0;     // 0 Auto Search, n COM n
    int stationRow = 1;  // 0 Auto Search, n station n
    bool saveAsDefault = false;
};

class DriveConnector {
public:
    enum class Outcome { Offline, Connected, Failed, Cancelled };

    explicit DriveConnector(std::string iniPath);
    void setProgress(std::function<bool(const SearchProgress&)> progress);
    void setLastScanAddress(int address);

    Outcome connect(const ConnectRequest& request);
    const ConnectionSearch::Result& searchResult() const { return result_; }

    // "Communication interface ready to start." with port, rate and station.
    static std::string connectedMessage(int port, int baudIndex, int slaveAddress);

private:
    std::string iniPath_;
    std::function<bool(const SearchProgress&)> progress_;
    int lastScanAddress_ = 255;
    ConnectionSearch::Result result_;
};
