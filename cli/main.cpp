// drivara-cli: the command-line companion of Drivara.

#include "cli/CliMain.h"

#include <atomic>
#include <csignal>
#include <iostream>

namespace {

std::atomic<bool> interrupted{false};

// The first interrupt asks the running step to stop (so the port is let go
// and the drive's stream stopped); a second one ends the program at once.
extern "C" void onInterrupt(int signal)
{
    interrupted.store(true);
    std::signal(signal, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCli(arguments, std::cout, std::cerr, &interrupted);
}
