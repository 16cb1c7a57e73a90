#include "cli/CliContext.h"

#include "cli/ProgressDisplay.h"

#include <ostream>

int CliContext::fail(int exitCode, const std::string& what) const
{
    warn(what);
    return exitCode;
}

void CliContext::warn(const std::string& what) const
{
    progress.clear();
    err << "drivara-cli " << line.command << ": " << what << "\n";
    err.flush();
}
