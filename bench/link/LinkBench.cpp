// Link timing against drivesim (beside this program):
//   BM_AutoSearch/N  - Auto Search over COM 1-16 with 15 absent numbers and
//                      the drive on COM 16 at 19200 baud, the last rate tried;
//                      N is the highest station scanned (255 is the real search).
//   BM_Read64/W      - one 64-register read at 115200 baud, paced, caller's
//                      wait W ms; the counter wire_ms is the time the request
//                      and reply take on the line.
//   BM_Read64Late16  - the same read with no wait and no retry from a drive
//                      whose answer starts 16 ms late (a USB adapter's batch);
//                      the counter failed counts reads that missed their reply.
#include "tests/support/DriveSimProcess.h"

#include "link/ConnectionSearch.h"
#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "platform/PortTable.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

void mapOnly(int com, const std::string& path)
{
    platform::PortTable::clear();
    char pattern[] = "/tmp/drivara-bench-nodev-XXXXXX";
    if (const char* empty = mkdtemp(pattern))
        platform::PortTable::setDeviceDirectory(empty);
    platform::PortTable::setExplicitEntry(com, path);
}

// Starts drivesim and maps COM `com` alone to it; null (the benchmark told
// why) when it does not start.
std::unique_ptr<DriveSimProcess> driveOn(int com, benchmark::State& state, const std::vector<std::string>& options)
{
    auto sim = std::make_unique<DriveSimProcess>(options);
    if (!sim->ok()) {
        state.SkipWithError("drivesim did not start");
        return nullptr;
    }
    mapOnly(com, sim->portPath());
    return sim;
}

void BM_AutoSearch(benchmark::State& state)
{
    const auto sim = driveOn(16, state, {"--station", "1", "--baud", "19200", "--pace", "--latency", "10"});
    if (!sim)
        return;
    for (auto _ : state) {
        ConnectionSearch search(0, 0);
        search.setLastScanAddress(static_cast<int>(state.range(0)));
        const ConnectionSearch::Result result = search.run();
        if (result.outcome != ConnectionSearch::Outcome::Found || result.port != 16 || result.baudIndex != 0)
            state.SkipWithError("drive not found where expected");
        ReleaseLinkPort();
    }
}
BENCHMARK(BM_AutoSearch)->Arg(8)->Arg(255)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Read64(benchmark::State& state)
{
    const auto sim = driveOn(1, state, {"--station", "1", "--baud", "115200", "--pace"});
    if (!sim)
        return;
    linkState().portHandle = OpenLinkPort(1, 3);
    const auto wait = static_cast<uint16_t>(state.range(0));
    for (auto _ : state) {
        if (!LinkReadRegisters(1, 0x00, 0x00, 0x00, 64, wait, 0))
            state.SkipWithError("read failed");
    }
    // Request 8 bytes and reply 133 bytes, 10 bits a byte.
    state.counters["wire_ms"] = (8 + 133) * 10 * 1000.0 / 115200;
    ReleaseLinkPort();
}
BENCHMARK(BM_Read64)->Arg(0)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Read64Late16(benchmark::State& state)
{
    const auto sim = driveOn(1, state, {"--station", "1", "--baud", "115200", "--pace", "--latency", "16"});
    if (!sim)
        return;
    linkState().portHandle = OpenLinkPort(1, 3);
    int64_t failed = 0;
    for (auto _ : state)
        failed += LinkReadRegisters(1, 0x00, 0x00, 0x00, 64, 0, 0) == 1 ? 0 : 1;
    state.counters["failed"] = static_cast<double>(failed);
    ReleaseLinkPort();
}
BENCHMARK(BM_Read64Late16)->Iterations(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
