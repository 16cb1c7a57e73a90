#include "link/ConnectionSearch.h"

#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "link/StationFinder.h"
#include "platform/PortTable.h"
#include "platform/Ticks.h"

#include <iterator>

namespace {
// Fastest first: a drive set to a high rate is found soonest.
const int kBaudOrder[kBaudIndexCount] = {3, 2, 1, 0};
constexpr unsigned kRefusedPortPauseMs = 1;
}  // namespace

ConnectionSearch::ConnectionSearch(int portRow, int stationRow)
    : portRow_(portRow), stationRow_(stationRow), baudOrder_(std::begin(kBaudOrder), std::end(kBaudOrder))
{
}

void ConnectionSearch::setProgress(std::function<bool(const SearchProgress&)> progress)
{
    progress_ = std::move(progress);
}

void ConnectionSearch::setLastScanAddress(int address)
{
    lastScanAddress_ = address;
}

void ConnectionSearch::setBaudIndices(const std::vector<int>& baudIndices)
{
    baudOrder_.clear();
    for (int baudIndex : baudIndices)
        if (baudIndex >= 0 && baudIndex < kBaudIndexCount)
            baudOrder_.push_back(baudIndex);
}

bool ConnectionSearch::report(const SearchProgress& progress)
{
    if (!cancelled_ && progress_ && !progress_(progress))
        cancelled_ = true;
    return !cancelled_;
}

bool ConnectionSearch::tryPort(int port, int baudIndex, int step, Result& result)
{
    LinkState& link = linkState();
    platform::SerialError why = platform::SerialError::None;
    const platform::PortHandle handle = OpenLinkPort(port, baudIndex, &why);
    if (!platform::isOpenHandle(handle)) {
        result.refusedPort = port;
        result.refusedReason = why;
        platform::sleepMs(kRefusedPortPauseMs);
        return false;
    }
    link.portHandle = handle;
    StationScan scan;
    scan.lastAddress = lastScanAddress_;
    scan.keepGoing = [&](int address) { return report({step, port, baudIndex, address}); };
    if (FindStation(stationRow_, scan)) {
        result.port = port;
        result.baudIndex = baudIndex;
        result.slaveAddress = link.slaveAddress;
        result.handle = handle;
        return true;
    }
    CloseLinkPort(handle);
    link.portHandle = platform::kNoPort;
    return false;
}

ConnectionSearch::Result ConnectionSearch::searchChosenPort()
{
    Result result;
    int step = 0;
    for (int baudIndex : baudOrder_) {
        if (!report({++step, portRow_, baudIndex, 0}))
            break;
        if (tryPort(portRow_, baudIndex, step, result))
            break;
    }
    if (cancelled_ && !platform::isOpenHandle(result.handle)) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    if (!platform::isOpenHandle(result.handle))
        return result;
    // Ask the found station once more by its own number before trusting it.
    if (!FindStation(result.slaveAddress)) {
        CloseLinkPort(result.handle);
        linkState().portHandle = platform::kNoPort;
        result.handle = platform::kNoPort;
        result.recheckFailed = true;
        return result;
    }
    result.slaveAddress = linkState().slaveAddress;
    result.outcome = Outcome::Found;
    return result;
}

ConnectionSearch::Result ConnectionSearch::searchAllPorts()
{
    Result result;
    int step = 0;
    for (int port = platform::PortTable::kFirstCom; port <= platform::PortTable::kLastCom; ++port) {
        // A number with no device costs nothing: no open, no pause.
        const bool present = !platform::PortTable::devicePath(port).empty();
        for (int baudIndex : baudOrder_) {
            if (!report({++step, port, baudIndex, 0})) {
                result.outcome = Outcome::Cancelled;
                return result;
            }
            if (!present)
                continue;
            if (tryPort(port, baudIndex, step, result)) {
                result.outcome = Outcome::Found;
                return result;
            }
            if (cancelled_) {
                result.outcome = Outcome::Cancelled;
                return result;
            }
        }
    }
    return result;
}

ConnectionSearch::Result ConnectionSearch::run()
{
    cancelled_ = false;
    if (portRow_ == 0)
        return searchAllPorts();
    if (portRow_ < platform::PortTable::kFirstCom || portRow_ > platform::PortTable::kLastCom)
        return Result();
    return searchChosenPort();
}
