#include "cli/OptionValues.h"

#include "link/LinkPort.h"
#include "param/ParameterNumbers.h"
#include "platform/PortTable.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool allDigits(const std::string& text, bool hex)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return false;
    return true;
}

bool parseWhole(const std::string& text, int base, long& value)
{
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, base);
    return errno == 0 && end && *end == '\0';
}

}  // namespace

bool ParsePortOption(const std::string& text, PortChoice& port)
{
    port = PortChoice();
    if (!text.empty() && text[0] == '/') {
        port.devicePath = text;
        return true;
    }
    std::string rest = lower(text);
    if (rest.rfind("com", 0) != 0)
        return false;
    rest = rest.substr(3);
    if (!rest.empty() && rest[0] == ' ')
        rest = rest.substr(1);
    long number = 0;
    if (!allDigits(rest, false) || rest.size() > 3 || !parseWhole(rest, 10, number))
        return false;
    if (number < platform::PortTable::kFirstCom || number > platform::PortTable::kLastCom)
        return false;
    port.com = static_cast<int>(number);
    return true;
}

bool ParseBaudOption(const std::string& text, std::vector<int>& baudIndices)
{
    baudIndices.clear();
    if (lower(text) == "auto") {
        for (int index = kBaudIndexCount - 1; index >= 0; --index)
            baudIndices.push_back(index);
        return true;
    }
    long rate = 0;
    if (!allDigits(text, false) || !parseWhole(text, 10, rate))
        return false;
    for (int index = 0; index < kBaudIndexCount; ++index) {
        if (BaudRateOfIndex(index) == static_cast<uint32_t>(rate)) {
            baudIndices.push_back(index);
            return true;
        }
    }
    return false;
}

bool ParseStationOption(const std::string& text, int& stationRow)
{
    if (lower(text) == "auto") {
        stationRow = 0;
        return true;
    }
    long station = 0;
    if (!ParseNumberInRange(text, 1, 255, station))
        return false;
    stationRow = static_cast<int>(station);
    return true;
}

bool ParseParameterNumber(const std::string& text, int& parameter)
{
    std::string digits = lower(text);
    if (digits.rfind("pr.", 0) == 0)
        digits = digits.substr(3);
    else if (digits.rfind("pr", 0) == 0 || digits.rfind("0x", 0) == 0)
        digits = digits.substr(2);
    else
        return false;
    long number = 0;
    if (!allDigits(digits, true) || digits.size() > 2 || !parseWhole(digits, 16, number))
        return false;
    if (number < 0 || number >= kParameterCount)
        return false;
    parameter = static_cast<int>(number);
    return true;
}

bool ParseRegisterValue(const std::string& text, int32_t& value)
{
    const std::string lowered = lower(text);
    long number = 0;
    if (lowered.rfind("0x", 0) == 0) {
        const std::string digits = lowered.substr(2);
        if (!allDigits(digits, true) || digits.size() > 4 || !parseWhole(digits, 16, number))
            return false;
        value = static_cast<int16_t>(static_cast<uint16_t>(number));
        return true;
    }
    const std::string digits = !lowered.empty() && lowered[0] == '-' ? lowered.substr(1) : lowered;
    if (!allDigits(digits, false) || digits.size() > 6 || !parseWhole(lowered, 10, number) || !FitsRegister(number))
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

bool ParseNumberInRange(const std::string& text, long minimum, long maximum, long& value)
{
    const std::string digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
    long number = 0;
    if (!allDigits(digits, false) || digits.size() > 9 || !parseWhole(text, 10, number))
        return false;
    if (number < minimum || number > maximum)
        return false;
    value = number;
    return true;
}

std::string ParameterName(int parameter)
{
    return "Pr." + ParameterHex(parameter);
}
