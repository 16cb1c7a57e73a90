// Runs drivesim with a full scope stream at 115200 baud and its servo on, so
// the machine runs under its control loops, reads the stream like the tool
// does, and reports drivesim's CPU use as a share of one core.
//
// usage: bench_drivesim_stream [seconds (default 60)] [extra drivesim options...]

#include "comm/ModbusCrc.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// utime + stime of a process in clock ticks, from /proc/PID/stat.
long cpuTicks(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');  // the command name may hold blanks
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14) utime = std::atol(field.c_str());
        if (i == 15) { stime = std::atol(field.c_str()); break; }
    }
    return utime + stime;
}

pid_t spawnDrivesim(std::vector<std::string> args, std::string& port)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    args.insert(args.begin(), DRIVESIM_PATH);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char c = 0;
    pollfd p{out[0], POLLIN, 0};
    while (pid > 0 && poll(&p, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
        port += c;
    close(out[0]);
    return pid;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (!(seconds > 0)) {
        std::fprintf(stderr, "usage: %s [seconds] [drivesim options...]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> args{"--pace", "--baud", "115200"};
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    std::string port;
    const pid_t pid = spawnDrivesim(args, port);
    if (pid <= 0 || port.empty()) {
        std::fprintf(stderr, "drivesim did not start\n");
        return 1;
    }
    const int fd = open(port.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    tcsetattr(fd, TCSANOW, &t);

    // Servo on (the machine follows the host's pulse train), then the
    // channels deviation, command and speed: the widest record load.
    uint8_t servoOn[8] = {0x01, 0x05, 0x00, 0x26, 0xFF, 0x00, 0, 0};
    uint8_t start[8] = {0x01, 0x06, 0x00, 0x90, 0x00, 0x07, 0, 0};
    qdcomm::appendModbusCrc(servoOn, sizeof servoOn);
    qdcomm::appendModbusCrc(start, sizeof start);
    uint8_t echo[8];
    pollfd echoWait{fd, POLLIN, 0};
    if (write(fd, servoOn, sizeof servoOn) != sizeof servoOn || poll(&echoWait, 1, 1000) <= 0 ||
        read(fd, echo, sizeof echo) <= 0 || write(fd, start, sizeof start) != sizeof start) {
        std::fprintf(stderr, "drivesim did not answer\n");
        return 1;
    }

    const auto begin = Clock::now();
    const long ticksBefore = cpuTicks(pid);
    const auto end = begin + std::chrono::duration<double>(seconds);
    std::vector<uint8_t> line;
    uint64_t bytes = 0, records = 0, bad = 0;
    uint8_t buffer[4096];
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes += static_cast<uint64_t>(n);
        line.insert(line.end(), buffer, buffer + n);
        size_t at = 0;
        while (line.size() - at >= 9) {
            if (line[at] == 0xC5 && qdcomm::checkModbusCrc(&line[at], 9)) {
                ++records;
                at += 9;
            } else {
                ++bad;  // the echo of the start request, then nothing else
                ++at;
            }
        }
        line.erase(line.begin(), line.begin() + static_cast<long>(at));
    }
    const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
    const long ticks = cpuTicks(pid) - ticksBefore;
    const double cpuPercent = 100.0 * ticks / sysconf(_SC_CLK_TCK) / wall;

    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    close(fd);
    std::printf("drivesim stream at 115200 baud for %.1f s: %.0f records/s, %.0f bytes/s, "
                "%llu stray bytes, drivesim CPU %.2f %% of one core\n",
                wall, records / wall, bytes / wall, static_cast<unsigned long long>(bad), cpuPercent);
    return 0;
}
