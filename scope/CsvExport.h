#pragma once
// The capture as comma-separated values: a time column in milliseconds and
// one column per shown channel in physical units, the unit in the header
// ("Time (ms),Speed (RPM),Torque (%)"), one row per sample on the screen.

#include "scope/ScopeBuffers.h"

#include <array>
#include <string>

// Rows cover samples 0 .. min(samples, captureLength + 1) - 1 of the
// longest shown channel; a channel without that sample leaves its field
// empty. Lines end with CR LF.
std::string WriteCsvText(const ChannelSamples& samples, const std::array<bool, kScopeChannelCount>& shown,
                         int captureLength);
