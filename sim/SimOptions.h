#pragma once
// drivesim's command line: which drive to be, how the line behaves, which
// faults to inject.

#include "sim/DriveSimulator.h"

#include <string>

namespace drivesim {

// Parsed command line of drivesim.
struct SimOptions {
    DriveRegisters::Config drive;
    DriveSimulator::LineSettings line;
    std::string linkPath;
    std::string statePath;

    enum class Outcome { Run, Help, Error };
    // Fills `options`; on Error `error` says what was wrong.
    static Outcome parse(int argc, const char* const* argv, SimOptions& options, std::string& error);
    static std::string usage();
};

}  // namespace drivesim
