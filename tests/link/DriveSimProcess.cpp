#include "DriveSimProcess.h"

#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>

std::string DriveSimProcess::programPath()
{
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
    dir = dir.substr(0, dir.find_last_of('/'));
    return dir + "/drivesim";
}

DriveSimProcess::DriveSimProcess(const std::vector<std::string>& options)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    const std::string program = programPath();
    std::vector<std::string> args{program};
    args.insert(args.end(), options.begin(), options.end());
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    output_ = pipeFds[0];
    if (pid_ < 0)
        return;
    // The first line, within a bounded time.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{output_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char c = 0;
        if (read(output_, &c, 1) != 1)
            break;
        if (c == '\n') {
            portPath_ = line;
            break;
        }
        line += c;
    }
}

DriveSimProcess::~DriveSimProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            usleep(10000);
        }
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (output_ >= 0)
        close(output_);
}
