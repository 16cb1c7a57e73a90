#include "sim/ParameterTable.h"

namespace drivesim {
namespace {

struct Limit {
    int parameter;
    int16_t min;
    int16_t max;
};

// Only the limits a drive of this family plainly has; every other
// parameter takes any 16-bit value.
const Limit kLimits[] = {
    {ParameterTable::kStation, 1, 255},
    {ParameterTable::kControlMode, 0, 8},
    {ParameterTable::kPositionGain, 1, 2000},
    {ParameterTable::kSpeedGain, 1, 3500},
    {ParameterTable::kIntegralTime, 1, 1000},
    {ParameterTable::kTorqueFilter, 25, 2500},
    {ParameterTable::kInertiaRatio, 0, 10000},
};

struct Factory {
    int parameter;
    int16_t value;
};

// Plausible factory settings of a mid-size drive; unlisted parameters are 0.
const Factory kFactory[] = {
    {0x01, 1},    {0x03, 300},  {0x04, 0},    {0x06, 1},    {0x08, 10000}, {0x09, 1},
    {0x0A, 1},    {0x0C, 2},    {0x10, 35},   {0x11, 35},   {0x12, 16},    {0x13, 0},
    {0x14, 65},   {0x15, 300},  {0x16, 50},   {0x18, 35},   {0x19, 35},    {0x1A, 1000},
    {0x1B, 0},    {0x1C, 65},   {0x20, 100},  {0x21, 0},    {0x22, 4},     {0x30, 0},
    {0x31, 10},   {0x32, 30},   {0x33, 50},   {0x34, 33},   {0x35, 20},    {0x36, 0},
    {0x3A, 0},    {0x40, 0},    {0x41, 0},    {0x42, 1},    {0x44, 2500},  {0x45, 0},
    {0x46, 1},    {0x47, 1},    {0x48, 10000}, {0x4A, 0},   {0x4B, 10000}, {0x4C, 1},
    {0x4E, 1},    {0x4F, 0},    {0x50, 500},  {0x51, 0},    {0x52, 0},     {0x53, 100},
    {0x54, 200},  {0x55, 300},  {0x56, 400},  {0x57, 300},  {0x58, 100},   {0x59, 100},
    {0x5A, 0},    {0x5E, 300},  {0x60, 10},   {0x61, 50},   {0x62, 0},     {0x63, 1875},
    {0x64, 0},    {0x66, 0},    {0x68, 0},    {0x6A, 0},    {0x6C, 2},     {0x70, 25000},
    {0x74, 500},  {0x75, 600},  {0x76, 700},  {0x77, 800},
};

}  // namespace

std::array<int16_t, ParameterTable::kCount> ParameterTable::factoryValues(uint8_t station, int16_t controlMode,
                                                                          int16_t pr1f)
{
    std::array<int16_t, kCount> values{};
    for (const Factory& f : kFactory)
        values[f.parameter] = f.value;
    values[kStation] = station;
    values[kControlMode] = controlMode;
    values[kModelCode] = pr1f;
    return values;
}

bool ParameterTable::accepts(int parameter, int16_t value)
{
    for (const Limit& l : kLimits)
        if (l.parameter == parameter)
            return value >= l.min && value <= l.max;
    return parameter >= 0 && parameter < kCount;
}

}  // namespace drivesim
