#pragma once
// Runs the simulated drive (drivesim, beside the test program) as a child
// process for the life of the object; its first output line is its port.

#include <string>
#include <vector>

class DriveSimProcess {
public:
    // Starts drivesim with these options; check ok().
    explicit DriveSimProcess(const std::vector<std::string>& options);
    ~DriveSimProcess();  // stops and reaps the child
    DriveSimProcess(const DriveSimProcess&) = delete;
    DriveSimProcess& operator=(const DriveSimProcess&) = delete;

    bool ok() const { return !portPath_.empty(); }
    const std::string& portPath() const { return portPath_; }  // its first output line; empty on failure
    int pid() const { return pid_; }  // for signals: a drive that hangs (SIGSTOP) or dies (SIGKILL)
    // Sends SIGTERM and waits up to 3 s (then kills); the exit status, or -1.
    int stop();
    // Where drivesim is looked for: the folder of the running program.
    static std::string programPath();

private:
    int pid_ = -1;
    int output_ = -1;
    std::string portPath_;
};
