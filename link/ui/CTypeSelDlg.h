#pragma once
// The model-selection dialog: identifies the connected drive and closes by
// itself when the model is known, or lets the user choose one of 32 models.

#include <QDialog>

class QListWidget;
class QPushButton;

class CTypeSelDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTypeSelDlg(QWidget* parent = nullptr);

    // On line, identifies the drive first; returns Accepted at once when
    // that settles the model (or the drive gave no answer).
    int exec() override;

    QListWidget* modelList() const { return list_; }
    // Whether the last exec() decided without showing the dialog.
    bool closedByIdentification() const { return closedByIdentification_; }

public slots:
    void accept() override;

private:
    // True when identification settled the drive type.
    bool identifyConnectedDrive();

    QListWidget* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool closedByIdentification_ = false;
};
