#pragma once
// The plug-in's settings file "Waystation.ini" and language file
// "Waystation.lng", both in the working directory at load time. Section
// "Settings": FilePath (last point-table file), iShowPulsePosition (2 turns
// on the cyclic position display), iJogType and iJogTime (jog time rules).

#include <string>

namespace waypad {

struct WaypadSettings {
    std::string settingsPath;
    std::string languagePath;
    std::string filePath = "Empty";
    int showPulsePosition = 2;
    int jogType = 1;
    int jogTimeMs = 500;

    // Paths in `directory`, values from its settings file (defaults when
    // the file or a key is missing).
    static WaypadSettings read(const std::string& directory);
    // Writes FilePath and iJogType back; false when the file cannot be written.
    bool save() const;
    // The folder a file dialog starts in: the last file's, or "" for none.
    std::string lastFileFolder() const;
};

}  // namespace waypad
