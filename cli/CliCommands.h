#pragma once
// The commands of drivara-cli. Each fills the output and returns the exit
// code, after telling on the error stream what failed.

#include "cli/CliContext.h"

int RunPorts(CliContext& context, CommandOutput& output);
int RunIdentify(CliContext& context, CommandOutput& output);
int RunReadParams(CliContext& context, CommandOutput& output);
int RunWriteParams(CliContext& context, CommandOutput& output);
int RunGet(CliContext& context, CommandOutput& output);
int RunSet(CliContext& context, CommandOutput& output);
int RunCompare(CliContext& context, CommandOutput& output);
int RunAlarms(CliContext& context, CommandOutput& output);
int RunIo(CliContext& context, CommandOutput& output);
int RunScope(CliContext& context, CommandOutput& output);

// The command of that name; nullptr for none.
CliCommandFunction FindCommandFunction(const std::string& name);
