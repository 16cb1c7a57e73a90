#include "ToolPort.h"

#include "sim/PtyTransport.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace simtest {
namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

ToolPort::ToolPort(const std::string& path, unsigned baud)
{
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0 && !setBaud(baud)) {
        close(fd_);
        fd_ = -1;
    }
}

bool ToolPort::setBaud(unsigned baud)
{
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return false;
    cfmakeraw(&t);
    const speed_t speed = drivesim::PtyTransport::speedConstant(baud);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

void ToolPort::send(const Bytes& bytes)
{
    tcflush(fd_, TCIOFLUSH);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

Bytes ToolPort::receive(size_t count, int timeoutMs)
{
    Bytes out;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    uint8_t buffer[512];
    pollfd p{fd_, POLLIN, 0};
    while (out.size() < count && poll(&p, 1, msLeft(deadline)) > 0) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.insert(out.end(), buffer, buffer + n);
    }
    return out;
}

}  // namespace simtest
