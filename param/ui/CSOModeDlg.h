#pragma once
// Asks for the page mode: parameter, position, velocity or torque control
// mode. A drive of the Zt family is always in position mode and is not
// asked.

#include <QDialog>

class QPushButton;
class QRadioButton;

class CSOModeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSOModeDlg(QWidget* parent = nullptr);

    // Accepted at once, without showing, for a Zt drive.
    int exec() override;
    // True when the last exec() settled the mode without asking.
    bool decidedWithoutAsking() const { return decidedWithoutAsking_; }

    QRadioButton* modeOption(int pageMode) const;  // 1 to 4
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

public slots:
    void accept() override;

private:
    QRadioButton* options_[4];
    QPushButton* ok_;
    QPushButton* cancel_;
    bool decidedWithoutAsking_ = false;
};
