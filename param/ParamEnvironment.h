#pragma once
// What the parameter page takes from the program's settings: where the
// model files are, engineer mode, and whether Pr.1F is corrected.

#include <string>

struct ParamEnvironment {
    std::string workingDirectory;  // holds SystemInit-*.som and ParameterRef-*.qdt
    bool engineerMode = false;     // lifts the unused lock and the row's range
    bool repairPr1F = true;
};
