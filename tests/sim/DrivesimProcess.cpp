#include "DrivesimProcess.h"

#include "sim/PtyTransport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace simtest {
namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

DrivesimProcess::DrivesimProcess(const std::vector<std::string>& args)
{
    int out[2];
    if (pipe(out) != 0)
        return;
    std::vector<std::string> all{DRIVESIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // The first line is the port path; give the program 5 s to print it.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    std::string line;
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (pid_ > 0 && poll(&p, 1, msLeft(deadline)) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    if (c == '\n')
        port_ = line;
}

int DrivesimProcess::stop()
{
    if (pid_ <= 0)
        return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 300; ++i) {  // up to 3 s
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        usleep(10000);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

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
