#include "plugin/PointTableLayout.h"

#include <cstdio>

namespace waypad {

std::string PointSectionName(int index)
{
    return "WPD Point" + std::to_string(index);
}

const std::vector<ParamPlace>& ParamPlaces()
{
    static const std::vector<ParamPlace> places = [] {
        std::vector<ParamPlace> p;
        for (int i = 0; i < kPointCount; ++i) {
            p.push_back({PointPosition(i), 1 + i, 1, PointSectionName(i), "Position_pulse"});
            p.push_back({PointSpeed(i), 1 + i, 2, PointSectionName(i), "Speed_rpm"});
        }
        const std::string ramps = "WPD Point Parm2", homing = "WPD Homing Parm", aux = "WPD Auxiliary Parm";
        p.insert(p.end(), {
            {kPointAcc, 19, 1, ramps, "PointAcc_ms"},
            {kPointDec, 20, 1, ramps, "PointDec_ms"},
            {kHomingMode, 23, 1, homing, "Mode"},
            {kHomingOffset, 24, 1, homing, "Offset_pulse"},
            {kHomingSpeed, 25, 1, homing, "Speed_rpm"},
            {kCreepSpeed, 26, 1, homing, "CreepSpeed_rpm"},
            {kHomingAcc, 27, 1, homing, "Acc_ms"},
            {kHomingDec, 28, 1, homing, "Dec_ms"},
            {kBumpTorque, 29, 1, homing, "BumpTrq"},
            {kBumpTime, 30, 1, homing, "BumpTime_ms"},
            {kSkipGearRatio, kSkipGearRatioRow, 1, homing, "bOffsetSkipGearRatio"},
            {kJogSpeed, 34, 1, aux, "JogSpeed_rpm"},
            {kJogAcc, 35, 1, aux, "JogAcc_ms"},
            {kJogDec, 36, 1, aux, "JogDec_ms"},
            {kOnPosDelay, 37, 1, aux, "OnPosDelay_ms"},
            {kSoftLimitPos, 38, 1, aux, "SoftLimitPos_pulse"},
            {kSoftLimitNeg, 39, 1, aux, "SoftLimitNeg_pulse"},
        });
        return p;
    }();
    return places;
}

const ParamPlace* PlaceOfField(int field)
{
    for (const ParamPlace& place : ParamPlaces())
        if (place.field == field)
            return &place;
    return nullptr;
}

int FieldAt(int row, int column)
{
    for (const ParamPlace& place : ParamPlaces())
        if (place.row == row && place.column == column)
            return place.field;
    return -1;
}

namespace {
const char* const kLabels[kGridRowCount] = {
    "Point parameters", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "Point Acc./ Dec.", "Acceleration (ms)", "Deceleration (ms)",
    "", "Homing parameters", "Mode", "Offset (pulse)", "Speed (rpm)", "Creep Speed (rpm)",
    "Acceleration (ms)", "Deceleration (ms)", "Bump torque limit (%)", "Bump detection time (ms)",
    "Offset: skip GearRatio",
    "", "Auxiliary parameters", "Jog Speed (rpm)", "Jog Acceleration (ms)", "Jog Deceleration (ms)",
    "OnPos delay time (ms)", "SoftLimit Positive (pulse)", "SoftLimit Negative (pulse)", "",
};
}  // namespace

RowKind KindOfRow(int row)
{
    if (row == 0)
        return RowKind::Header;
    if (row >= 1 && row <= kPointCount)
        return RowKind::Point;
    if (row == 18 || row == 22 || row == 33)
        return RowKind::Section;
    if (row < 0 || row >= kGridRowCount || kLabels[row][0] == '\0')
        return RowKind::Empty;
    return RowKind::Value;
}

std::string RowLabel(int row)
{
    if (KindOfRow(row) == RowKind::Point) {
        char text[16];
        std::snprintf(text, sizeof text, "%8d", row);
        return text;
    }
    return row >= 0 && row < kGridRowCount ? kLabels[row] : "";
}

}  // namespace waypad
