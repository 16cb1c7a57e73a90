#pragma once
// The about box: cover picture, program icon and version text.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    static constexpr const char* kVersionText = "Drivara Version 1.0.2.0";
};
