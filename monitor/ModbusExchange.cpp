#include "monitor/ModbusExchange.h"

#include "comm/CModbus.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"
#include "platform/SerialPort.h"

#include <chrono>

namespace {

// Stream records the drive had queued may still arrive just after the stop,
// and the library master reads the first bytes it finds: wait until the line
// has been quiet for a moment (bounded), dropping what comes.
constexpr int kQuietUs = 3000;
constexpr auto kSettleLimit = std::chrono::milliseconds(150);

void settleLine(platform::PortHandle port)
{
    const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
    do
        platform::serialPurge(port, platform::PurgeRx);
    while (platform::serialWaitReadable(port, kQuietUs) && std::chrono::steady_clock::now() < deadline);
}

}  // namespace

int RunModbusExchange(CModbus& modbus, const std::function<int(CModbus&)>& exchange)
{
    if (!platform::isOpenHandle(modbus.m_hComm))
        return 0;
    const bool streaming = linkState().streamingActive();
    StreamPause pause;
    if (streaming)
        settleLine(modbus.m_hComm);
    else
        platform::serialPurge(modbus.m_hComm, platform::PurgeRx);
    return exchange(modbus);
}
