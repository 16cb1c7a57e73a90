#include "app/GlobalSettings.h"

#include "platform/IniFile.h"

namespace {
const char kSection[] = "Global";
}

GlobalSettings GlobalSettings::read(const std::string& iniPath)
{
    using platform::IniFile;
    GlobalSettings s;
    s.repairPr1F = IniFile::readInt(iniPath, kSection, "RepairPr1F", s.repairPr1F);
    s.innerParm = IniFile::readInt(iniPath, kSection, "InnerParm", s.innerParm);
    s.splashTimeMs = IniFile::readInt(iniPath, kSection, "iSplashTime", s.splashTimeMs);
    s.ioMonitorIntervalMs =
        IniFile::readInt(iniPath, kSection, "iIOM_IntervalTime", s.ioMonitorIntervalMs);
    // A negative or zero period would make a timer fire continuously.
    if (s.splashTimeMs < 0)
        s.splashTimeMs = 0;
    if (s.ioMonitorIntervalMs <= 0)
        s.ioMonitorIntervalMs = 115;
    return s;
}

bool GlobalSettings::declineEngineerMode(const std::string& iniPath)
{
    return platform::IniFile::writeInt(iniPath, kSection, "InnerParm", 0);
}
