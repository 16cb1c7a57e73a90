// Parameter page timing, with the model files the build generates:
//   BM_OpenPageOnLine/L - opening the page of a Vr_007 drive on line (flags,
//                         model file, help, 128 parameters and Pr.02 read)
//                         against drivesim at 115200 baud, paced, L ms latency.
//   BM_OpenPageFlags    - the same for a Vr_008 page, whose model file
//                         carries the per-parameter flags (read, not drive).
//   BM_LoadFile         - loading a saved parameter file into the page.
//   BM_SaveFile         - saving the page (temporary file renamed into place).
#include "tests/support/DriveSimProcess.h"

#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "param/ModelDriveType.h"
#include "param/PageFiles.h"
#include "param/PageHost.h"
#include "param/PageModeChoice.h"
#include "param/PageOpening.h"
#include "platform/PortTable.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

namespace {

// The program's folder holds the generated model files.
std::string runtimeFolder()
{
    const std::string program = DriveSimProcess::programPath();
    return program.substr(0, program.find_last_of('/'));
}

DriveType modelDrive(const std::string& name)
{
    DriveType drive;
    DriveTypeOfModel(name, drive);
    return drive;
}

ParamEnvironment environment()
{
    ParamEnvironment env;
    env.workingDirectory = runtimeFolder();
    return env;
}

bool connect(const DriveSimProcess& sim)
{
    platform::PortTable::clear();
    char pattern[] = "/tmp/drivara-bench-nodev-XXXXXX";
    if (const char* empty = mkdtemp(pattern))
        platform::PortTable::setDeviceDirectory(empty);
    platform::PortTable::setExplicitEntry(1, sim.portPath());
    const platform::PortHandle port = OpenLinkPort(1, 3);
    if (!platform::isOpenHandle(port))
        return false;
    CompleteConnection(port, 1);
    return true;
}

void openOnLine(benchmark::State& state, const char* model, const std::string& latency)
{
    DriveSimProcess sim({"--model", model, "--baud", "115200", "--pace", "--latency", latency});
    if (!sim.ok() || !connect(sim)) {
        state.SkipWithError("drivesim did not start");
        return;
    }
    PageModeChoice choice;
    PageHost host;
    const DriveType drive = modelDrive(model);
    for (auto _ : state) {
        OpenedPage opened = OpenParameterPage(environment(), drive, choice, host);
        if (!opened.driveCommandsAvailable)
            state.SkipWithError("the page did not read the drive");
    }
    ReleaseLinkPort();
    linkState().online = 0;
}

void BM_OpenPageOnLine(benchmark::State& state)
{
    openOnLine(state, "Vr_007", std::to_string(state.range(0)));
}
BENCHMARK(BM_OpenPageOnLine)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenPageFlags(benchmark::State& state)
{
    openOnLine(state, "Vr_008", "0");
}
BENCHMARK(BM_OpenPageFlags)->Unit(benchmark::kMillisecond)->UseRealTime();

// A page of every parameter, and a file of it.
struct SavedPage {
    ParameterPage page;
    std::string path;
    SavedPage()
        : page(modelDrive("Vr_007"), PageModeParameter, ParameterFlagsTable(), environment()),
          path("/tmp/drivara-bench-" + std::to_string(getpid()) + ".qdp")
    {
        PageHost host;
        LoadPageFile(page, runtimeFolder() + "/SystemInit-Vr_007.som", LoadSource::SystemInit, LoadColumns::all(),
                     host);
        SavePageFile(page, path, host);
    }
    ~SavedPage() { std::remove(path.c_str()); }
};

void BM_LoadFile(benchmark::State& state)
{
    SavedPage saved;
    PageHost host;
    for (auto _ : state)
        if (!LoadPageFile(saved.page, saved.path, LoadSource::UserFile, LoadColumns::valuesOnly(), host))
            state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveFile(benchmark::State& state)
{
    SavedPage saved;
    PageHost host;
    for (auto _ : state)
        if (!SavePageFile(saved.page, saved.path, host))
            state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
