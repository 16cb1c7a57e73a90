#pragma once
// drivara-cli from its arguments to its exit code: the command line, the
// settings and texts of the data folders, the console prompt, then the
// command, with its output on `out` and its messages on `err`.

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

// `interrupted` (may be null) is set when the user interrupts: searches
// and captures stop at their next step.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const std::atomic<bool>* interrupted);
