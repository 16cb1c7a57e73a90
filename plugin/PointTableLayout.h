#pragma once
// Where each parameter stands: its grid cell and its section and key in a
// point-table file, and the labels of the grid's 41 rows.

#include "plugin/ParameterBlock.h"

#include <string>
#include <vector>

namespace waypad {

constexpr int kGridRowCount = 41;
constexpr int kGridColumnCount = 4;
constexpr int kSkipGearRatioRow = 31;

struct ParamPlace {
    int field;
    int row;
    int column;           // 1 values and positions, 2 speeds
    std::string section;  // in the point-table file
    std::string key;
};

// Every parameter the grid shows and a file stores, in file order.
const std::vector<ParamPlace>& ParamPlaces();
// The place of a field; nullptr for one the grid does not show.
const ParamPlace* PlaceOfField(int field);
// The field in a grid cell; -1 for a label or empty cell.
int FieldAt(int row, int column);

enum class RowKind { Header, Section, Point, Value, Empty };
RowKind KindOfRow(int row);
// The text of column 0 ("       1" for point 1); the column titles of row 0
// come from the text table.
std::string RowLabel(int row);

// Section of a point, numbered from 0 ("WPD Point3" holds point 4).
std::string PointSectionName(int index);

}  // namespace waypad
