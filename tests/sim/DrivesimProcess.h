#pragma once
// Runs the drivesim program for a test and plays the tool's side of its
// pseudo-terminal: open the port at a baud, send, and collect replies.

#include "tests/support/HexBytes.h"

#include <string>
#include <cstdint>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace simtest {

using testsupport::Bytes;

// A drivesim child process; stopped with SIGTERM when destroyed.
class DrivesimProcess {
public:
    explicit DrivesimProcess(const std::vector<std::string>& args);
    ~DrivesimProcess() { stop(); }
    DrivesimProcess(const DrivesimProcess&) = delete;
    DrivesimProcess& operator=(const DrivesimProcess&) = delete;

    // The port path the program printed first; empty when it failed.
    const std::string& port() const { return port_; }
    pid_t pid() const { return pid_; }
    // Sends SIGTERM and waits (bounded); returns the exit status or -1.
    int stop();

private:
    pid_t pid_ = -1;
    std::string port_;
};

// The tool's end of the line.
class ToolPort {
public:
    ToolPort(const std::string& path, unsigned baud);
    ~ToolPort() { if (fd_ >= 0) close(fd_); }
    ToolPort(const ToolPort&) = delete;
    ToolPort& operator=(const ToolPort&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool setBaud(unsigned baud);
    void send(const Bytes& bytes);
    // Reads until `count` bytes came or `timeoutMs` passed.
    Bytes receive(size_t count, int timeoutMs);
    // Everything that arrives within `ms`.
    Bytes collect(int ms) { return receive(SIZE_MAX, ms); }

private:
    int fd_ = -1;
};

}  // namespace simtest
