#pragma once
// The compare window: the parameters of the page side by side in two of
// three columns (on line the drive, a file and the factory values; off line
// two files and the factory values), differences highlighted, a filter for
// the differing rows, and the copy of one column's values into the page.

#include "param/ParameterCompare.h"

#include <QDialog>

class PageHost;
class ParameterPage;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class CCompareDlg : public QDialog {
    Q_OBJECT
public:
    // Compares for `page`; copies go into it and are shown through `host`.
    CCompareDlg(ParameterPage& page, PageHost& host, QWidget* parent = nullptr);

    const ParameterCompare& compare() const { return compare_; }
    QTableWidget* table() const { return table_; }
    QComboBox* leftChoice() const { return left_; }
    QComboBox* rightChoice() const { return right_; }
    QComboBox* copyChoice() const { return copyFrom_; }
    QCheckBox* onlyDifferences() const { return onlyDifferences_; }
    QPushButton* loadButton(int column) const { return load_[column]; }
    QPushButton* copyButton() const { return copy_; }
    QLabel* summary() const { return summary_; }

public slots:
    // Fills a column: the drive (on line), a file chosen by the user, or
    // the factory values.
    void loadColumn(int column);
    void copySelectedRows();
    void refresh();

private:
    enum class Source { Drive, File, Factory };
    Source sourceOf(int column) const;
    QString columnTitle(int column) const;

    ParameterPage& page_;
    PageHost& host_;
    ParameterCompare compare_;
    bool online_;
    QComboBox* left_;
    QComboBox* right_;
    QComboBox* copyFrom_;
    QCheckBox* onlyDifferences_;
    QPushButton* load_[kCompareColumns] = {};
    QLabel* origin_[kCompareColumns] = {};
    QPushButton* copy_;
    QLabel* summary_;
    QTableWidget* table_;
};
