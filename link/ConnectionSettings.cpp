#include "link/ConnectionSettings.h"

#include "platform/IniFile.h"

namespace {
const char* const kSection = "SetComPort";
}

ConnectionSettings ConnectionSettings::load(const std::string& iniPath)
{
    using platform::IniFile;
    ConnectionSettings settings;
    settings.saveAsDefault = IniFile::readInt(iniPath, kSection, "SaveAsDefault", 0);
    if (settings.saveAsDefault != 1)
        return settings;
    const int port = IniFile::readInt(iniPath, kSection, "ComPort", 0);
    const int station = IniFile::readInt(iniPath, kSection, "SlaveID", 1);
    if (port >= 0 && port < kPortRowCount)
        settings.portRow = port;
    if (station >= 0 && station < kStationRowCount)
        settings.stationRow = station;
    return settings;
}

bool ConnectionSettings::save(const std::string& iniPath) const
{
    using platform::IniFile;
    bool ok = IniFile::writeInt(iniPath, kSection, "SaveAsDefault", saveAsDefault);
    if (saveAsDefault == 1) {
        ok = IniFile::writeInt(iniPath, kSection, "ComPort", portRow) && ok;
        ok = IniFile::writeInt(iniPath, kSection, "SlaveID", stationRow) && ok;
    }
    return ok;
}
