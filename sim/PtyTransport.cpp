#include "sim/PtyTransport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace drivesim {
namespace {

bool makeRaw(int fd, speed_t speed)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string lastError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

PtyTransport::~PtyTransport()
{
    unlink();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

unsigned PtyTransport::speedConstant(uint32_t baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return 0;
    }
}

bool PtyTransport::open(std::string& error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        error = lastError("posix_openpt");
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = lastError("unlockpt");
        return false;
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = lastError("ptsname");
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        error = lastError(name);
        return false;
    }
    // Raw on both ends: no echo, no line editing, no CR/LF translation.
    if (!makeRaw(slave_, B9600) || !makeRaw(master_, B9600)) {
        error = lastError("tcsetattr");
        return false;
    }
    return true;
}

bool PtyTransport::link(const std::string& linkPath, std::string& error)
{
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = linkPath + " exists and is not a symlink; not replacing it";
        return false;
    }
    // Make the new link beside the old one and rename it over, so the path
    // never goes missing for a tool that opens it meanwhile.
    const std::string temp = linkPath + ".drivesim-" + std::to_string(getpid());
    ::unlink(temp.c_str());
    if (symlink(slavePath_.c_str(), temp.c_str()) != 0 || rename(temp.c_str(), linkPath.c_str()) != 0) {
        error = lastError(linkPath.c_str());
        ::unlink(temp.c_str());
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

void PtyTransport::unlink()
{
    if (linkPath_.empty())
        return;
    char target[256];
    const ssize_t n = readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (n > 0) {
        target[n] = '\0';
        if (slavePath_ == target)  // another drive may have taken the name since
            ::unlink(linkPath_.c_str());
    }
    linkPath_.clear();
}

bool PtyTransport::lineMatches(uint32_t baud) const
{
    termios t{};
    if (tcgetattr(slave_, &t) != 0)
        return false;
    const speed_t wanted = speedConstant(baud);
    return wanted != 0 && cfgetospeed(&t) == wanted && (t.c_cflag & CSIZE) == CS8 && !(t.c_cflag & PARENB);
}

ssize_t PtyTransport::read(uint8_t* buffer, size_t size)
{
    const ssize_t n = ::read(master_, buffer, size);
    if (n >= 0)
        return n;
    return (errno == EAGAIN || errno == EINTR || errno == EIO) ? 0 : -1;
}

ssize_t PtyTransport::write(const uint8_t* data, size_t length)
{
    const ssize_t n = ::write(master_, data, length);
    if (n >= 0)
        return n;
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

}  // namespace drivesim
