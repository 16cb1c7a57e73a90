#pragma once
// Off line, asks where the parameter page's values come from: a parameter
// file saved before, or the factory values of the drive model.

#include <QDialog>

class QPushButton;
class QRadioButton;

class CSelFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSelFileDlg(QWidget* parent = nullptr);

    QRadioButton* fileOption() const { return file_; }
    QRadioButton* factoryOption() const { return factory_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

public slots:
    void accept() override;

private:
    QRadioButton* file_;
    QRadioButton* factory_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
