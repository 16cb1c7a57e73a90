#pragma once
// The tool's side of drivesim's pseudo-terminal: open the port at a baud,
// send, and collect replies.

#include "tests/support/HexBytes.h"

#include <string>
#include <cstdint>
#include <unistd.h>
#include <vector>

namespace simtest {

using testsupport::Bytes;

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
