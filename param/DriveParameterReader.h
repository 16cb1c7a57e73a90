#pragma once
// Reading the drive's 128 parameters in two blocks of 64 registers, and
// following the drive to a new station number after Pr.00 is written.

#include "param/ParameterNumbers.h"

#include <cstdint>
#include <functional>

// Reads Pr.00-Pr.7F. `each` sees every parameter as it is taken from a
// reply; `pauseMs` is waited after each one of the second block. On a
// failed block the user is told (texts 329 and 330) and false returned.
bool ReadDriveParameters(ParameterValues& values, const std::function<void(int parameter, int16_t value)>& each,
                         unsigned pauseMs = 0);
// Reads one register; false when the drive did not answer.
bool ReadDriveRegister(uint8_t reg, int16_t& value);
// The link, the library master and the plug-in's copy all take the
// station number the drive now answers at.
void FollowStationAddress(int station);
