#include "tuning/StiffnessTables.h"

const std::array<uint8_t, kStiffnessLevels> StiffnessTables::bandwidth = {
    9, 15, 19, 25, 36, 43, 50, 59, 65, 72, 85, 104, 126, 155, 185, 240};
const std::array<uint8_t, kStiffnessLevels> StiffnessTables::integralTime = {
    62, 50, 38, 31, 28, 26, 24, 22, 21, 19, 18, 17, 16, 15, 15, 9};
const std::array<uint8_t, kStiffnessLevels> StiffnessTables::torqueFilter = {
    253, 126, 103, 84, 65, 57, 45, 38, 30, 25, 25, 25, 25, 25, 25, 25};
const std::array<uint8_t, kStiffnessLevels> StiffnessTables::positionGain = {
    12, 20, 31, 40, 47, 59, 63, 70, 75, 82, 95, 115, 132, 164, 195, 255};
