#include "param/ui/CCompareDlg.h"

#include "link/LinkState.h"
#include "param/PageFiles.h"
#include "param/ParameterPage.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor kDifference(255, 220, 200);

QString cell(const std::optional<int32_t>& value)
{
    return value ? QString::number(*value) : QString("-");
}

}  // namespace

CCompareDlg::CCompareDlg(ParameterPage& page, PageHost& host, QWidget* parent)
    : QDialog(parent), page_(page), host_(host), compare_(page.visibleParameters()),
      online_(linkState().online == 1), left_(new QComboBox(this)), right_(new QComboBox(this)),
      copyFrom_(new QComboBox(this)), onlyDifferences_(new QCheckBox(LoadQText(1122), this)),
      copy_(new QPushButton(LoadQText(1123), this)), summary_(new QLabel(this)), table_(new QTableWidget(this))
{
    setObjectName("CCompareDlg");
    setWindowTitle(LoadQText(1121));
    resize(640, 600);
    auto* layout = new QVBoxLayout(this);

    auto* sources = new QGridLayout;
    for (int c = 0; c < kCompareColumns; ++c) {
        load_[c] = new QPushButton(columnTitle(c) + "...", this);
        origin_[c] = new QLabel(this);
        sources->addWidget(load_[c], c, 0);
        sources->addWidget(origin_[c], c, 1);
        connect(load_[c], &QPushButton::clicked, this, [this, c] { loadColumn(c); });
        left_->addItem(columnTitle(c));
        right_->addItem(columnTitle(c));
    }
    sources->setColumnStretch(1, 1);
    layout->addLayout(sources);

    auto* choice = new QHBoxLayout;
    choice->addWidget(new QLabel(LoadQText(1124), this));
    choice->addWidget(left_);
    choice->addWidget(new QLabel(LoadQText(1125), this));
    choice->addWidget(right_);
    choice->addWidget(onlyDifferences_);
    choice->addStretch();
    layout->addLayout(choice);

    table_->setColumnCount(4);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    layout->addWidget(table_, 1);

    auto* actions = new QHBoxLayout;
    actions->addWidget(summary_, 1);
    actions->addWidget(copyFrom_);
    actions->addWidget(copy_);
    auto* close = new QPushButton(LoadQText(1133), this);
    actions->addWidget(close);
    layout->addLayout(actions);

    left_->setCurrentIndex(0);
    right_->setCurrentIndex(1);
    connect(left_, qOverload<int>(&QComboBox::currentIndexChanged), this, &CCompareDlg::refresh);
    connect(right_, qOverload<int>(&QComboBox::currentIndexChanged), this, &CCompareDlg::refresh);
    connect(onlyDifferences_, &QCheckBox::toggled, this, &CCompareDlg::refresh);
    connect(copy_, &QPushButton::clicked, this, &CCompareDlg::copySelectedRows);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    // What costs no question is there from the start.
    loadColumn(2);
    if (online_)
        loadColumn(0);
    refresh();
}

CCompareDlg::Source CCompareDlg::sourceOf(int column) const
{
    if (column == 2)
        return Source::Factory;
    return column == 0 && online_ ? Source::Drive : Source::File;
}

QString CCompareDlg::columnTitle(int column) const
{
    switch (sourceOf(column)) {
    case Source::Drive: return LoadQText(1126);
    case Source::Factory: return LoadQText(1128);
    case Source::File: break;
    }
    return LoadQText(online_ || column == 1 ? 1127 : 1129);
}

void CCompareDlg::loadColumn(int column)
{
    ParameterValues values{};
    std::string origin;
    bool loaded = false;
    switch (sourceOf(column)) {
    case Source::Drive:
        loaded = ReadCompareValuesFromDrive(values);
        origin = LoadText(1130);
        break;
    case Source::Factory:
        loaded = ReadFactoryValues(page_, values);
        origin = LoadText(1131);
        break;
    case Source::File:
        origin = AskLoadPath(page_, false);
        loaded = !origin.empty() && ReadCompareValuesFromFile(page_, origin, values);
        break;
    }
    if (!loaded)
        return;
    compare_.setColumn(column, values, origin);
    origin_[column]->setText(QString::fromStdString(origin));
    refresh();
}

void CCompareDlg::refresh()
{
    if (left_->currentIndex() == right_->currentIndex()) {
        // A column compared with itself says nothing: take the next one.
        const QSignalBlocker block(right_);
        right_->setCurrentIndex((left_->currentIndex() + 1) % kCompareColumns);
    }
    compare_.choose(left_->currentIndex(), right_->currentIndex());
    compare_.setOnlyDifferences(onlyDifferences_->isChecked());
    table_->setHorizontalHeaderLabels(
        {LoadQText(301), LoadQText(302), columnTitle(compare_.left()), columnTitle(compare_.right())});
    const std::vector<CompareRow> rows = compare_.rows();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const CompareRow& row = rows[static_cast<size_t>(r)];
        const int pageRow = page_.rowOf(row.parameter);
        const QString cells[4] = {QString::fromStdString(ParameterHex(row.parameter)),
                                  QString::fromStdString(page_.row(pageRow).definition).trimmed(), cell(row.left),
                                  cell(row.right)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setData(Qt::UserRole, row.parameter);
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.differs)
                item->setBackground(kDifference);
            table_->setItem(r, c, item);
        }
    }
    const int leftIndex = compare_.left(), rightIndex = compare_.right();
    copyFrom_->clear();
    copyFrom_->addItem(columnTitle(leftIndex), leftIndex);
    copyFrom_->addItem(columnTitle(rightIndex), rightIndex);
    summary_->setText(QString::number(compare_.differenceCount()) + LoadQText(1132));
}

void CCompareDlg::copySelectedRows()
{
    std::vector<int> parameters;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        parameters.push_back(table_->item(index.row(), 0)->data(Qt::UserRole).toInt());
    const int column = copyFrom_->currentData().toInt();
    CopyCompareColumnIntoPage(compare_, column, parameters, page_, host_);
}
