#include "link/StationFinder.h"

#include "link/LinkRequests.h"
#include "link/LinkState.h"

namespace {

constexpr int kChosenStationCalls = 2;
constexpr uint16_t kChosenStationWaitMs = 100;
constexpr int kChosenStationRetries = 1;
constexpr uint16_t kScanWaitMs = 50;
constexpr int kMaxStation = 255;
// Low byte of the first register in a read reply: address, function, count, high, low.
constexpr int kFirstRegisterLowOffset = 4;

bool readStationRegister(uint8_t address, uint16_t waitMs, int retries)
{
    return LinkReadRegisters(address, 0x00, 0x00, 0x00, 0x01, waitMs, retries) == 1;
}

int takeStation()
{
    LinkState& link = linkState();
    const uint8_t station = link.receiveBuffer[kFirstRegisterLowOffset];
    if (station == 0)
        return 0;  // the drive answered but holds no usable station number
    link.slaveAddress = station;
    return 1;
}

}  // namespace

int FindStation(int stationRow, const StationScan& scan)
{
    if (stationRow >= 1 && stationRow <= kMaxStation) {
        for (int call = 0; call < kChosenStationCalls; ++call) {
            if (readStationRegister(static_cast<uint8_t>(stationRow), kChosenStationWaitMs, kChosenStationRetries))
                return takeStation();
        }
        return 0;
    }
    if (stationRow != 0)
        return 0;
    const int last = scan.lastAddress < 1 ? 1 : (scan.lastAddress > kMaxStation ? kMaxStation : scan.lastAddress);
    for (int address = 1; address <= last; ++address) {
        if (scan.keepGoing && !scan.keepGoing(address))
            return 0;
        if (readStationRegister(static_cast<uint8_t>(address), kScanWaitMs, 0))
            return takeStation();
    }
    return 0;
}
