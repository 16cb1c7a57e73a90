#include "param/ParameterFlags.h"

#include "param/LimitedTextFile.h"
#include "platform/IniFile.h"

#include <cstdio>

namespace {

const char* const kKnownVersions[] = {"0.0.0", "1.0.0"};

}  // namespace

std::string ParameterFlagSection(int parameter)
{
    char name[16];
    std::snprintf(name, sizeof name, "Par0x%02x", static_cast<unsigned>(parameter) & 0xFFu);
    return name;
}

ParameterFlagsTable ReadParameterFlags(const std::string& somPath)
{
    using platform::IniFile;
    ParameterFlagsTable table;
    std::string text;
    if (ReadLimitedTextFile(somPath, text) != TextFileStatus::Ok)
        return table;  // the page's first load tells the user why
    std::string version = "0.0.0";
    IniFile::lookupInText(text, "Setup", "FileVersion", version);
    table.versionIndex = -1;
    for (int i = 0; i < 2; ++i)
        if (version == kKnownVersions[i])
            table.versionIndex = i;
    if (!table.valid())
        return table;
    for (int p = 0; p < kParameterCount; ++p) {
        const std::string section = ParameterFlagSection(p);
        ParameterFlag& flag = table.flags[p];
        flag.reboot = IniFile::readIntInText(text, section, "Reboot", 1);
        flag.permanentLocked = IniFile::readIntInText(text, section, "Permanentlcd", 1);
        flag.modeBits = static_cast<uint8_t>(IniFile::readIntInText(text, section, "ModeBit", 0) & 0xFF);
        flag.autotuneLocked = IniFile::readIntInText(text, section, "Autotunelcd", 0);
    }
    return table;
}
