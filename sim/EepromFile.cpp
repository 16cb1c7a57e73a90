#include "sim/EepromFile.h"

#include "sim/NumberText.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace drivesim {

bool EepromFile::parse(const std::string& text, Image& image, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string a, v, extra;
        long address = 0, value = 0;
        if (!(fields >> a >> v) || (fields >> extra) || !ParseLong(a, 0, 0xFFFF, false, address) ||
            !ParseLong(v, -32768, 65535, false, value)) {
            error = "line " + std::to_string(lineNumber) + ": expected \"address value\"";
            return false;
        }
        image[static_cast<uint16_t>(address)] = static_cast<uint16_t>(value);
    }
    return true;
}

EepromFile::LoadResult EepromFile::load() const
{
    LoadResult result;
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return result;
    std::ostringstream text;
    text << in.rdbuf();
    Image image;
    if (!parse(text.str(), image, result.error)) {
        result.error = path_ + ": " + result.error;
        return result;
    }
    result.image = std::move(image);
    return result;
}

bool EepromFile::save(const Image& image) const
{
    const std::string temp = path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << "# drivesim EEPROM: register address and value, decimal\n";
        for (const auto& [address, value] : image)
            out << address << ' ' << static_cast<int16_t>(value) << '\n';
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path_.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace drivesim
