#pragma once
// The "Global" section of "Preference.ini": read once at start-up; only the
// engineer-mode refusal writes back.

#include <string>

struct GlobalSettings {
    int repairPr1F = 1;           // non-zero enables the Pr.1F correction
    int innerParm = 0;            // 731 asks for engineer mode
    int splashTimeMs = 2000;      // how long the cover stays up
    int ioMonitorIntervalMs = 115;

    static constexpr int kEngineerModeKey = 731;

    // Missing file or keys give the defaults above.
    static GlobalSettings read(const std::string& iniPath);
    // Writes "InnerParm" = 0, so the next start is in normal mode.
    static bool declineEngineerMode(const std::string& iniPath);
    bool asksForEngineerMode() const { return innerParm == kEngineerModeKey; }
};
