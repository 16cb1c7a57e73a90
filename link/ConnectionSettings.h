#pragma once
// Section "SetComPort" of the settings file: whether the connection dialog's
// choices are kept, and which port and station rows it preselects.

#include <string>

struct ConnectionSettings {
    int saveAsDefault = 0;
    int portRow = 0;     // 0 "Auto Search", n COM n
    int stationRow = 1;  // 0 "Auto Search", n station n

    // Reads the keys; unless "SaveAsDefault" is 1 the stored rows are
    // ignored and Auto Search / station 1 are preselected. Rows out of
    // range fall back the same way.
    static ConnectionSettings load(const std::string& iniPath);
    // "SaveAsDefault" always; the two rows only when it is ticked.
    bool save(const std::string& iniPath) const;
};

constexpr int kPortRowCount = 17;      // Auto Search + COM 1..16
constexpr int kStationRowCount = 256;  // Auto Search + ID 1..255
