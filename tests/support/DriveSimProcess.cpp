#include "tests/support/DriveSimProcess.h"

#include <chrono>
#include <climits>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

std::string DriveSimProcess::programPath() {
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
    return path.substr(0, path.find_last_of('/')) + "/drivesim";
}

DriveSimProcess::DriveSimProcess(const std::vector<std::string>& options) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    std::vector<std::string> args{programPath()};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]), close(pipeFds[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    output_ = pipeFds[0];  // kept open: later output must not break the child's pipe
    // The first line, within a bounded time.
    std::string line;
    pollfd p{output_, POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (char c = 0; pid_ > 0 && std::chrono::steady_clock::now() < deadline;) {
        if (poll(&p, 1, 100) <= 0) continue;
        if (read(output_, &c, 1) != 1) break;
        if (c == '\n') { portPath_ = line; break; }
        line += c;
    }
}

DriveSimProcess::~DriveSimProcess() {
    stop();
    if (output_ >= 0) close(output_);
}

int DriveSimProcess::stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int waited = 0; waited < 300; ++waited) {  // up to 3 s for a clean exit
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        usleep(10000);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return -1;
}
