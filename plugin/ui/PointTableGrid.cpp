#include "plugin/ui/PointTableGrid.h"

#include "plugin/PointTableLayout.h"
#include "plugin/WpdFile.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QIntValidator>
#include <QLineEdit>
#include <QStyledItemDelegate>

using namespace waypad;

namespace {

// Cells take whole 32-bit numbers only.
class WholeNumberDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* edit = new QLineEdit(parent);
        edit->setValidator(new QIntValidator(INT32_MIN, INT32_MAX, edit));
        return edit;
    }
};

QFont gridFont()
{
    // A Traditional Chinese face where one is installed, the default otherwise.
    QFont font;
    for (const char* family : {"Noto Sans CJK TC", "Noto Serif CJK TC", "AR PL UMing TW"})
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    font.setPointSize(12);
    return font;
}

const QColor kHeaderColour(0xC8, 0xDC, 0xF0);
const QColor kSectionColour(0xE6, 0xEE, 0xD2);

}  // namespace

PointTableGrid::PointTableGrid(const QString& positionTitle, const QString& speedTitle, QWidget* parent)
    : QTableWidget(kGridRowCount, kGridColumnCount, parent)
{
    setObjectName("pointGrid");
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setFont(gridFont());
    setItemDelegate(new WholeNumberDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    for (int row = 0; row < kGridRowCount; ++row) {
        for (int column = 0; column < kGridColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            const bool editable = FieldAt(row, column) >= 0;
            item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                    : Qt::ItemIsEnabled);
            if (editable)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            const RowKind kind = KindOfRow(row);
            if (kind == RowKind::Header || kind == RowKind::Section)
                item->setBackground(kind == RowKind::Header ? kHeaderColour : kSectionColour);
            setItem(row, column, item);
        }
        item(row, 0)->setText(QString::fromStdString(RowLabel(row)));
    }
    item(0, 1)->setText(positionTitle);
    item(0, 2)->setText(speedTitle);
    setValues(ParameterValues{});
    resizeColumnsToContents();
    setColumnWidth(1, std::max(columnWidth(1), 150));
    setColumnWidth(2, std::max(columnWidth(2), 110));
    horizontalHeader()->setStretchLastSection(true);
}

void PointTableGrid::setValues(const ParameterValues& values)
{
    for (const ParamPlace& place : ParamPlaces())
        item(place.row, place.column)->setText(QString::number(values[place.field]));
}

ParameterValues PointTableGrid::values(const ParameterValues& base) const
{
    ParameterValues out = base;
    for (const ParamPlace& place : ParamPlaces())
        out[place.field] = value(place.field);
    return out;
}

int32_t PointTableGrid::value(int field) const
{
    const ParamPlace* place = PlaceOfField(field);
    int32_t v = 0;
    // The editor only takes whole numbers; anything else reads as 0.
    if (place && !ParseWholeNumber(item(place->row, place->column)->text().toStdString(), v))
        v = 0;
    return v;
}

void PointTableGrid::setValue(int field, int32_t value)
{
    if (const ParamPlace* place = PlaceOfField(field))
        item(place->row, place->column)->setText(QString::number(value));
}

void PointTableGrid::setSkipGearRatioAvailable(bool available)
{
    for (int column = 0; column < kGridColumnCount; ++column) {
        QTableWidgetItem* cell = item(kSkipGearRatioRow, column);
        const bool editable = column == 1 && available;
        cell->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                : (available ? Qt::ItemIsEnabled : Qt::NoItemFlags));
        cell->setForeground(available ? palette().text() : palette().brush(QPalette::Disabled, QPalette::Text));
    }
}
