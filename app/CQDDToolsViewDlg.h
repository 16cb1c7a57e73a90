#pragma once
// Asks for one new parameter value. In and out values travel through
// ParameterDialogExchange(); the dialog checks no range.

#include <QDialog>

class QLineEdit;

class CQDDToolsViewDlg : public QDialog {
    Q_OBJECT
public:
    explicit CQDDToolsViewDlg(QWidget* parent = nullptr);

    QLineEdit* valueEdit() const { return valueEdit_; }
    void confirm();  // OK
    void discard();  // Cancel
    // Closing the window any other way counts as Cancel too, so a caller
    // never takes a stale value for a new one.
    void reject() override;

private:
    QLineEdit* valueEdit_;
};
