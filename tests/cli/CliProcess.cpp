#include "tests/cli/CliProcess.h"

#include "tests/support/DriveSimProcess.h"

#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

std::string CliProgramPath()
{
    const std::string sim = DriveSimProcess::programPath();
    return sim.substr(0, sim.find_last_of('/')) + "/drivara-cli";
}

CliRun RunCliProcess(const std::vector<std::string>& arguments, const std::string& workingFolder, int limitSeconds)
{
    using Clock = std::chrono::steady_clock;
    CliRun run;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0)
        return run;
    if (pipe(errPipe) != 0) {
        close(outPipe[0]), close(outPipe[1]);
        return run;
    }
    std::vector<std::string> args{CliProgramPath()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(workingFolder.c_str()) != 0)
            _exit(126);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]), close(outPipe[1]), close(errPipe[0]), close(errPipe[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    const Clock::time_point deadline = start + std::chrono::seconds(limitSeconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    bool killed = false;
    while (open > 0) {
        if (Clock::now() > deadline && !killed) {
            kill(pid, SIGKILL);
            killed = true;
        }
        if (poll(fds, 2, 100) <= 0)
            continue;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[k]->append(buffer, static_cast<size_t>(n));
            } else {
                close(fds[k].fd);
                fds[k].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.milliseconds =
        static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    run.exitCode = !killed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
