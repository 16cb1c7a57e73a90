#include "PtyPair.h"

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace testsupport {

PtyPair::PtyPair() {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return;
    char name[128];
    const bool named = grantpt(master) == 0 && unlockpt(master) == 0 && ptsname_r(master, name, sizeof name) == 0;
    const int slave = named ? ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    if (slave < 0) { ::close(master); return; }
    // The slave's termios governs both directions: raw, no echo.
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        cfsetspeed(&tio, B19200);
        tcsetattr(slave, TCSANOW, &tio);
    }
    // The master is read with poll; non-blocking so a read never hangs.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    masterFd_ = master;
    slaveFd_ = slave;
    slavePath_ = name;
}

PtyPair::~PtyPair() {
    if (slaveFd_ >= 0) ::close(slaveFd_);
    if (masterFd_ >= 0) ::close(masterFd_);
}

uint32_t PtyPair::slaveBaud() const {
    termios tio{};
    if (slaveFd_ < 0 || tcgetattr(slaveFd_, &tio) != 0) return 0;
    const speed_t speed = cfgetospeed(&tio);
    for (auto [code, baud] : {std::pair<speed_t, uint32_t>{B9600, 9600}, {B19200, 19200}, {B38400, 38400},
                              {B57600, 57600}, {B115200, 115200}})
        if (speed == code) return baud;
    return 0;
}

}  // namespace testsupport
