// drivesim: a simulated servo drive on a pseudo-terminal. Prints the port
// path first, then serves Modbus RTU and the scope stream until SIGINT or
// SIGTERM. SIGHUP switches the drive off and on again.

#include "sim/DriveSimulator.h"
#include "sim/EepromFile.h"
#include "sim/PtyTransport.h"
#include "sim/SimOptions.h"

#include <poll.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

volatile sig_atomic_t stopRequested = 0;
volatile sig_atomic_t powerCycleRequested = 0;

void onStopSignal(int) { stopRequested = 1; }
void onHangUp(int) { powerCycleRequested = 1; }

uint64_t nowUs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

// Waits are at least a millisecond so the loop wakes in batches, never spins.
constexpr uint64_t kMinWaitUs = 1000;
constexpr uint64_t kMaxWaitUs = 100000;

}  // namespace

int main(int argc, char** argv)
{
    using namespace drivesim;
    SimOptions options;
    std::string error;
    switch (SimOptions::parse(argc, argv, options, error)) {
    case SimOptions::Outcome::Help:
        std::cout << SimOptions::usage();
        return 0;
    case SimOptions::Outcome::Error:
        std::cerr << "drivesim: " << error << "\n" << SimOptions::usage();
        return 2;
    case SimOptions::Outcome::Run:
        break;
    }

    std::unique_ptr<EepromFile> eeprom;
    EepromFile::LoadResult saved;
    if (!options.statePath.empty()) {
        eeprom = std::make_unique<EepromFile>(options.statePath);
        saved = eeprom->load();
        if (!saved.error.empty()) {
            std::cerr << "drivesim: " << saved.error << " (left untouched)\n";
            return 2;
        }
    }

    PtyTransport pty;
    if (!pty.open(error)) {
        std::cerr << "drivesim: " << error << "\n";
        return 1;
    }
    // Block the signals except while waiting, so none is missed.
    sigset_t handled, waitMask;
    sigemptyset(&handled);
    sigaddset(&handled, SIGINT);
    sigaddset(&handled, SIGTERM);
    sigaddset(&handled, SIGHUP);
    sigprocmask(SIG_BLOCK, &handled, &waitMask);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    action.sa_handler = onHangUp;
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (!options.linkPath.empty() && !pty.link(options.linkPath, error)) {
        std::cerr << "drivesim: " << error << "\n";
        return 1;
    }
    std::printf("%s\n", pty.slavePath().c_str());
    std::fflush(stdout);

    DriveSimulator drive(options.drive, options.line, eeprom.get(), saved.image ? &*saved.image : nullptr);
    std::cerr << "drivesim: model " << options.drive.model.code << ", station " << int(drive.registers().station())
              << ", " << options.line.baud << " baud" << (options.line.paced ? ", paced" : "") << "\n";

    std::vector<uint8_t> pending;  // bytes the pty has not taken yet
    uint8_t buffer[4096];
    while (!stopRequested) {
        uint64_t now = nowUs();
        if (powerCycleRequested) {
            powerCycleRequested = 0;
            drive.powerCycle();
            std::cerr << "drivesim: power cycle, station " << int(drive.registers().station()) << "\n";
        }
        const bool lineOk = pty.lineMatches(options.line.baud);
        drive.advance(now);
        if (pending.empty()) {
            drive.release(now, pending);
            if (!lineOk)
                pending.clear();  // at another baud the tool hears only noise
        }
        if (!pending.empty()) {
            const ssize_t n = pty.write(pending.data(), pending.size());
            if (n < 0) {
                std::perror("drivesim: write");
                return 1;
            }
            pending.erase(pending.begin(), pending.begin() + n);
        }

        const uint64_t wake = drive.nextWakeUs();
        uint64_t waitUs = wake == UINT64_MAX ? kMaxWaitUs : (wake > now ? wake - now : 0);
        if (!pending.empty())
            waitUs = kMinWaitUs;  // the pty is full: try again shortly
        waitUs = std::min(std::max(waitUs, kMinWaitUs), kMaxWaitUs);
        pollfd fd{pty.masterFd(), POLLIN, 0};
        const timespec timeout{static_cast<time_t>(waitUs / 1000000), static_cast<long>(waitUs % 1000000) * 1000};
        const int ready = ppoll(&fd, 1, &timeout, &waitMask);
        if (ready > 0 && (fd.revents & POLLIN)) {
            const ssize_t n = pty.read(buffer, sizeof buffer);
            if (n < 0) {
                std::perror("drivesim: read");
                return 1;
            }
            if (n > 0) {
                if (pty.lineMatches(options.line.baud))
                    drive.receive(buffer, static_cast<size_t>(n), nowUs());
                else
                    drive.discardInput();
            }
        }
    }
    return 0;
}
