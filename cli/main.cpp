// drivara-cli: the command-line companion of Drivara.

#include "cli/CliMain.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

std::atomic<bool> interrupted{false};

// The first interrupt asks the running step to stop (so the port is let go
// and the drive's stream stopped); a second one ends the program at once.
// A signal handler may only write(2), so its notice is not looked up among
// the program's texts.
extern "C" void onInterrupt(int signal)
{
    static const char kNotice[] = "\ndrivara-cli: stopping after this step (again to end at once)\n";
    interrupted.store(true);
    std::signal(signal, SIG_DFL);
    const ssize_t written = ::write(STDERR_FILENO, kNotice, sizeof kNotice - 1);
    (void)written;
}

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCli(arguments, std::cout, std::cerr, &interrupted);
}
