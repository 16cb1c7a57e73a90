#pragma once
// The point table's grid: four columns without a visible header, the first
// row acting as one; labels in column 0, values in column 1 and the point
// speeds in column 2, edited in place as whole numbers.

#include "plugin/ParameterBlock.h"

#include <QTableWidget>

class PointTableGrid : public QTableWidget {
    Q_OBJECT
public:
    // `positionTitle` and `speedTitle` head columns 1 and 2 in row 0.
    PointTableGrid(const QString& positionTitle, const QString& speedTitle, QWidget* parent = nullptr);

    void setValues(const waypad::ParameterValues& values);
    // The grid's values over `base` (fields the grid does not show keep
    // theirs).
    waypad::ParameterValues values(const waypad::ParameterValues& base) const;
    int32_t value(int field) const;
    void setValue(int field, int32_t value);
    // Greys the "Offset: skip GearRatio" row on drives without the feature.
    void setSkipGearRatioAvailable(bool available);
};
