#pragma once
// The drive's end of a pseudo-terminal. The tool opens the slave path as
// its serial port; this side reads requests from the master and writes
// answers to it. One slave descriptor stays open here, so reading keeps
// working while the tool closes and reopens the port.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace drivesim {

// Pseudo-terminal with an optional symlink to its slave path.
class PtyTransport {
public:
    PtyTransport() = default;
    ~PtyTransport();
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    // Opens the pair in raw mode; the slave starts at 9600 baud so only a
    // tool that sets the drive's baud is heard. False with `error` set.
    bool open(std::string& error);
    // Points `linkPath` at the slave. An existing symlink is replaced;
    // anything else at that path is left alone and refused.
    bool link(const std::string& linkPath, std::string& error);
    // Removes the symlink if it still points at this pty.
    void unlink();

    int masterFd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    // True when the tool's line settings match the drive's: this baud,
    // 8 data bits, no parity.
    bool lineMatches(uint32_t baud) const;
    // Non-blocking; returns bytes read, 0 for none, -1 on a hard error.
    ssize_t read(uint8_t* buffer, size_t size);
    // Non-blocking; returns bytes written (possibly fewer), -1 on error.
    ssize_t write(const uint8_t* data, size_t length);

    // The termios speed constant for a baud rate, 0 when there is none.
    static unsigned speedConstant(uint32_t baud);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};

}  // namespace drivesim
