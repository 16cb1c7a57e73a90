#pragma once
// Runs the real drivara-cli (beside the test program) as a child process in
// a chosen working folder, and collects its exit code, its output, its
// messages and how long it took. A run that outlasts its limit is killed.

#include <string>
#include <vector>

struct CliRun {
    int exitCode = -1;  // -1: killed, or it did not start
    std::string out;
    std::string err;
    long milliseconds = 0;
};

CliRun RunCliProcess(const std::vector<std::string>& arguments, const std::string& workingFolder,
                     int limitSeconds = 30);
// Where drivara-cli is looked for: the folder of the running program.
std::string CliProgramPath();
