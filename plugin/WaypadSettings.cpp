#include "plugin/WaypadSettings.h"

#include "aux/QDAuxiliary.h"
#include "platform/IniFile.h"

#include <filesystem>

namespace waypad {
namespace {
constexpr const char* kSection = "Settings";
}

WaypadSettings WaypadSettings::read(const std::string& directory)
{
    using platform::IniFile;
    WaypadSettings s;
    s.settingsPath = directory + "/Waystation.ini";
    s.languagePath = directory + "/Waystation.lng";
    s.filePath = IniFile::readString(s.settingsPath, kSection, "FilePath", "Empty");
    s.showPulsePosition = IniFile::readInt(s.settingsPath, kSection, "iShowPulsePosition", 2);
    s.jogType = IniFile::readInt(s.settingsPath, kSection, "iJogType", 1);
    s.jogTimeMs = IniFile::readInt(s.settingsPath, kSection, "iJogTime", 500);
    return s;
}

bool WaypadSettings::save() const
{
    const bool pathWritten = platform::IniFile::writeString(settingsPath, kSection, "FilePath", filePath);
    return WritePrivateProfileInt(kSection, "iJogType", jogType, settingsPath.c_str()) && pathWritten;
}

std::string WaypadSettings::lastFileFolder() const
{
    std::error_code ignored;
    const std::filesystem::path last(filePath);
    if (filePath.empty() || filePath == "Empty")
        return "";
    if (std::filesystem::is_directory(last, ignored))
        return filePath;
    const std::filesystem::path folder = last.parent_path();
    return std::filesystem::is_directory(folder, ignored) ? folder.string() : "";
}

}  // namespace waypad
