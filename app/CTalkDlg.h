#pragma once
// Asks which of two block diagrams to open for a mixed control mode.

#include <QDialog>

class QRadioButton;

class CTalkDlg : public QDialog {
    Q_OBJECT
public:
    CTalkDlg(unsigned option0TextId, unsigned option1TextId, QWidget* parent = nullptr);

    // Shows the dialog; returns the last confirmed option (0 or 1). Closing
    // without OK keeps the previous choice.
    static int ask(unsigned option0TextId, unsigned option1TextId);
    static int lastChoice();

private:
    void confirm();
    QRadioButton* options_[2];
};
