#include "param/ParameterNumbers.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

std::string ParameterHex(int parameter)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(parameter) & 0xFFu);
    return text;
}

ParameterSet ParseParameterList(const char* list)
{
    ParameterSet set;
    const char* p = list;
    while (*p) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        char* end = nullptr;
        const long first = std::strtol(p, &end, 16);
        long last = first;
        if (*end == '-')
            last = std::strtol(end + 1, &end, 16);
        if (end == p || first < 0 || last >= kParameterCount || last < first)
            throw std::invalid_argument(std::string("bad parameter list: ") + list);
        for (long n = first; n <= last; ++n)
            set.set(static_cast<size_t>(n));
        p = end;
    }
    return set;
}
