#pragma once
// Process-wide state of the application shell: where the program runs, its
// settings, engineer mode and the control mode last read from the drive.

#include "app/GlobalSettings.h"

#include <string>

struct ShellState {
    std::string workingDirectory;  // read once at start-up
    GlobalSettings settings;
    int engineerMode = 0;          // 0 or 1
    int currentControlMode = 0;    // low byte of Pr.02 as last read

    // A file of the working directory ("Preference.ini", "Images/Cover.bmp").
    std::string pathOf(const std::string& relative) const;
    std::string preferencePath() const { return pathOf("Preference.ini"); }
};

ShellState& Shell();
