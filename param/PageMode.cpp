#include "param/PageMode.h"

const char* const kSystemInitFilter = "AllFiles(*.som)|*.som||";

bool IsPageMode(int mode)
{
    return mode >= PageModeParameter && mode <= PageModeTorque;
}

unsigned PageModeNameTextId(int mode)
{
    return IsPageMode(mode) ? 217u + static_cast<unsigned>(mode) : 218u;
}

std::string PageModeExtension(int mode)
{
    switch (mode) {
    case PageModePosition: return "pcm";
    case PageModeVelocity: return "vcm";
    case PageModeTorque: return "tcm";
    default: return "qdp";
    }
}

std::string PageModePattern(int mode)
{
    return "*." + PageModeExtension(mode);
}

std::string PageModeFilter(int mode)
{
    const std::string pattern = PageModePattern(mode);
    return "AllFiles(" + pattern + ")|" + pattern + "||";
}

uint8_t PageModeBit(int mode)
{
    switch (mode) {
    case PageModePosition: return 1;
    case PageModeVelocity: return 2;
    case PageModeTorque: return 4;
    default: return 0;
    }
}
