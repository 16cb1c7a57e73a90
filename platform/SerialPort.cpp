#include "SerialPort.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// A write that cannot make progress for this long (line held by flow
// control, adapter gone) fails instead of blocking the caller forever.
constexpr int kWriteStallMs = 2000;

SerialError errorFromErrno(int e) {
    switch (e) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return SerialError::NotFound;
    case EACCES:
    case EPERM:
        return SerialError::PermissionDenied;
    case EBUSY:
        return SerialError::Busy;
    case ENOTTY:
        return SerialError::NotATerminal;
    case EIO:
        return SerialError::Io;
    default:
        return SerialError::Other;
    }
}

speed_t speedFromBaud(uint32_t baud) {
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

uint32_t baudFromSpeed(speed_t speed) {
    switch (speed) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

// Waits for `events` on the descriptor; >0 ready, 0 time out, <0 error.
int waitFor(PortHandle handle, short events, long timeoutUs) {
    pollfd pfd{handle, events, 0};
    timespec ts{timeoutUs / 1000000, (timeoutUs % 1000000) * 1000};
    for (;;) {
        int rc = ppoll(&pfd, 1, &ts, nullptr);
        if (rc < 0 && errno == EINTR) continue;  // rare; waits once more at most
        if (rc > 0 && (pfd.revents & (POLLERR | POLLNVAL))) return -1;
        // A hang-up with nothing left to read: waiting again would not block.
        if (rc > 0 && (pfd.revents & POLLHUP) && !(pfd.revents & events)) return -1;
        return rc;
    }
}

struct AtomicCallCounts {
    std::atomic<uint64_t> sends{0};
    std::atomic<uint64_t> drains{0};
};

AtomicCallCounts& callCounters() {
    static AtomicCallCounts counters;
    return counters;
}

// A USB serial adapter hands received bytes over in batches, by default
// every 16 ms (FTDI's latency timer); low latency brings that to 1 ms.
// Drivers without the setting (pseudo-terminals, some adapters) refuse it,
// and the port works all the same.
void requestLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY)) return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

long remainingUs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<long>(left.count()) : 0;
}

}  // namespace

SerialOpenResult serialOpen(const std::string& devicePath) {
    SerialOpenResult result;
    // Non-blocking open: a modem line without carrier must not hang us. Reads
    // and writes below wait with poll, so the descriptor stays non-blocking.
    int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.errnoValue = errno;
        result.error = errorFromErrno(errno);
        return result;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        result.errnoValue = errno;
        result.error = errno == EIO ? SerialError::Io : SerialError::NotATerminal;
        ::close(fd);
        return result;
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        result.errnoValue = errno;
        result.error = errorFromErrno(errno);
        ::close(fd);
        return result;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        result.errnoValue = errno;
        result.error = errorFromErrno(errno);
        ioctl(fd, TIOCNXCL);
        ::close(fd);
        return result;
    }
    requestLowLatency(fd);
    result.handle = fd;
    return result;
}

bool serialClose(PortHandle handle) {
    if (!isOpenHandle(handle)) return false;
    // Without this the next open of the same path may be refused.
    ioctl(handle, TIOCNXCL);
    return ::close(handle) == 0;
}

bool serialGetSettings(PortHandle handle, SerialSettings& out) {
    termios tio{};
    if (!isOpenHandle(handle) || tcgetattr(handle, &tio) != 0) return false;
    out.BaudRate = baudFromSpeed(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
    case CS5: out.ByteSize = 5; break;
    case CS6: out.ByteSize = 6; break;
    case CS7: out.ByteSize = 7; break;
    default: out.ByteSize = 8; break;
    }
    if (!(tio.c_cflag & PARENB))
        out.Parity = ParityNone;
    else
        out.Parity = (tio.c_cflag & PARODD) ? ParityOdd : ParityEven;
    out.StopBits = (tio.c_cflag & CSTOPB) ? TwoStopBits : OneStopBit;
    return true;
}

bool serialSetSettings(PortHandle handle, const SerialSettings& settings) {
    termios tio{};
    if (!isOpenHandle(handle) || tcgetattr(handle, &tio) != 0) return false;
    const bool keepSpeed = settings.BaudRate == kKeepBaudRate;
    const speed_t speed = keepSpeed ? B0 : speedFromBaud(settings.BaudRate);
    if (!keepSpeed && speed == B0) return false;
    tcflag_t size;
    switch (settings.ByteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
    }
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | size;
    tio.c_cflag &= ~(PARENB | PARODD);
    if (settings.Parity == ParityOdd)
        tio.c_cflag |= PARENB | PARODD;
    else if (settings.Parity == ParityEven)
        tio.c_cflag |= PARENB;
    else if (settings.Parity != ParityNone)
        return false;
    if (settings.StopBits == TwoStopBits)
        tio.c_cflag |= CSTOPB;
    else
        tio.c_cflag &= ~CSTOPB;
    if (!keepSpeed && (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)) return false;
    return tcsetattr(handle, TCSANOW, &tio) == 0;
}

long serialWireTimeUs(PortHandle handle, size_t bytes) {
    SerialSettings line;
    if (!serialGetSettings(handle, line) || line.BaudRate == 0) return 0;
    const uint64_t bitsPerByte = 1u + line.ByteSize + (line.Parity != ParityNone ? 1u : 0u) +
                                 (line.StopBits == TwoStopBits ? 2u : 1u);
    return static_cast<long>(bytes * bitsPerByte * 1000000ull / line.BaudRate);
}

bool serialPurge(PortHandle handle, int flags) {
    if (!isOpenHandle(handle)) return false;
    int queue;
    if ((flags & PurgeRx) && (flags & PurgeTx))
        queue = TCIOFLUSH;
    else if (flags & PurgeRx)
        queue = TCIFLUSH;
    else if (flags & PurgeTx)
        queue = TCOFLUSH;
    else
        return true;
    return tcflush(handle, queue) == 0;
}

bool serialQueuedInput(PortHandle handle, uint32_t& count) {
    count = 0;
    int n = 0;
    if (!isOpenHandle(handle) || ioctl(handle, FIONREAD, &n) != 0 || n < 0) return false;
    count = static_cast<uint32_t>(n);
    return true;
}

bool serialWaitReadable(PortHandle handle, int timeoutUs) {
    if (!isOpenHandle(handle)) return false;
    return waitFor(handle, POLLIN, timeoutUs < 0 ? 0 : timeoutUs) > 0;
}

bool serialRead(PortHandle handle, uint8_t* buffer, size_t length, int timeoutMs) {
    if (!isOpenHandle(handle)) return false;
    if (length == 0) return true;
    if (buffer == nullptr) return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    size_t got = 0;
    while (got < length) {
        ssize_t n = ::read(handle, buffer + got, length - got);
        if (n > 0) {
            got += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;  // EIO: adapter pulled
        // Nothing there yet (n == 0 is "no data" in raw mode with VMIN 0).
        long left = remainingUs(deadline);
        if (left == 0) return false;
        if (waitFor(handle, POLLIN, left) < 0) return false;
    }
    return true;
}

bool serialSend(PortHandle handle, const uint8_t* buffer, size_t length) {
    callCounters().sends.fetch_add(1, std::memory_order_relaxed);
    if (!isOpenHandle(handle)) return false;
    if (length == 0) return true;
    if (buffer == nullptr) return false;
    size_t sent = 0;
    auto deadline = Clock::now() + std::chrono::milliseconds(kWriteStallMs);
    while (sent < length) {
        ssize_t n = ::write(handle, buffer + sent, length - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            deadline = Clock::now() + std::chrono::milliseconds(kWriteStallMs);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        long left = remainingUs(deadline);
        if (left == 0) return false;
        if (waitFor(handle, POLLOUT, left) < 0) return false;
    }
    return true;
}

bool serialDrain(PortHandle handle) {
    callCounters().drains.fetch_add(1, std::memory_order_relaxed);
    if (!isOpenHandle(handle)) return false;
    // tcdrain() alone could block for ever on a line held by hardware flow
    // control, so wait for the queue to empty with a limit first.
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteStallMs);
    for (;;) {
        int queued = 0;
        if (ioctl(handle, TIOCOUTQ, &queued) < 0) break;  // no count: tcdrain decides
        if (queued <= 0) break;
        if (remainingUs(deadline) == 0) return false;
        ::usleep(200);
    }
    return tcdrain(handle) == 0;
}

bool serialWrite(PortHandle handle, const uint8_t* buffer, size_t length) {
    // write() only queues; a purge before everything left the port would cut
    // the bytes short, so they are drained before returning.
    return serialSend(handle, buffer, length) && serialDrain(handle);
}

SerialCallCounts serialCallCounts() {
    SerialCallCounts counts;
    counts.sends = callCounters().sends.load(std::memory_order_relaxed);
    counts.drains = callCounters().drains.load(std::memory_order_relaxed);
    return counts;
}

std::string serialErrorText(SerialError error) {
    switch (error) {
    case SerialError::None: return "no error";
    case SerialError::NotFound: return "the device does not exist";
    case SerialError::PermissionDenied:
        return "permission denied (is the user in the \"dialout\" group?)";
    case SerialError::Busy: return "the device is in use by another program";
    case SerialError::NotATerminal: return "the device is not a serial port";
    case SerialError::Io: return "input/output error (adapter unplugged?)";
    case SerialError::Other: break;
    }
    return "cannot use the device";
}

}  // namespace platform
