#pragma once
// What the scope suites share: waiting for a condition, polling a run as the
// view's timer does, a paced drivesim connected as COM 1, a calendar time.

#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "platform/Ticks.h"
#include "scope/ScopeSession.h"
#include "tests/link/LinkTestBed.h"
#include "tests/support/DriveSimProcess.h"

#include <ctime>
#include <iomanip>
#include <memory>
#include <sstream>

// Checks `done` every `stepMs` until it holds or `timeoutMs` have passed.
template <typename Done>
bool WaitUntil(Done done, int timeoutMs, unsigned stepMs = 5)
{
    for (const uint32_t start = platform::tickCount(); platform::tickCount() - start < uint32_t(timeoutMs);) {
        if (done())
            return true;
        platform::sleepMs(stepMs);
    }
    return done();
}

// Polls the run until `done`, or the run ends (the end is returned), or time is up.
template <typename Done>
AcquisitionEnd PollUntil(ScopeSession& session, Done done, int timeoutMs)
{
    AcquisitionEnd end = AcquisitionEnd::None;
    WaitUntil([&] { return (end = session.acquisition().poll()) != AcquisitionEnd::None || done(); }, timeoutMs, 20);
    return end;
}

// Starts drivesim at 115200 baud, paced, with `more` options, and connects
// the link to it as COM 1; the link stays off line when that fails.
inline std::unique_ptr<DriveSimProcess> ConnectDriveSim(std::vector<std::string> more = {})
{
    more.insert(more.begin(), {"--baud", "115200", "--pace"});
    auto sim = std::make_unique<DriveSimProcess>(more);
    ReleaseLinkPort();
    if (!sim->ok())
        return sim;
    MapOnlyPort(1, sim->portPath());
    const platform::PortHandle port = OpenLinkPort(1, 3);
    if (platform::isOpenHandle(port))
        CompleteConnection(port, 1);
    return sim;
}

// A calendar time from "YYYY-MM-DD hh:mm:ss".
inline std::tm CalendarTime(const char* text)
{
    std::tm t{};
    std::istringstream(text) >> std::get_time(&t, "%Y-%m-%d %H:%M:%S");
    return t;
}
