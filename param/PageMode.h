#pragma once
// The page mode: which control mode's parameters the parameter page shows,
// chosen before the page opens. It also names the page's file kind.

#include <cstdint>
#include <string>

enum PageMode : int {
    PageModeParameter = 1,  // every parameter
    PageModePosition = 2,
    PageModeVelocity = 3,
    PageModeTorque = 4
};

bool IsPageMode(int mode);
// Text identifier of the mode's name ("Parameter Control Mode" ...).
unsigned PageModeNameTextId(int mode);
// "qdp", "pcm", "vcm" or "tcm".
std::string PageModeExtension(int mode);
// "AllFiles(*.qdp)|*.qdp||" and its kin.
std::string PageModeFilter(int mode);
// The file pattern offered first: "*.qdp".
std::string PageModePattern(int mode);
// The mode bit of a parameter's flags (position 1, velocity 2, torque 4);
// 0 for the parameter control mode, which shows everything.
uint8_t PageModeBit(int mode);

// The filter of the system-initialisation files.
extern const char* const kSystemInitFilter;
