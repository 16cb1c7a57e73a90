#pragma once
// The stream reader's counters on a small window the user opens from the
// scope view; refreshed while it is shown.

#include <QDialog>
#include <QTimer>
#include <vector>

class QLabel;

class ScopeDiagnosticsPanel : public QDialog {
    Q_OBJECT
public:
    explicit ScopeDiagnosticsPanel(QWidget* parent = nullptr);
    void refresh();
    QStringList lines() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::vector<QLabel*> labels_;
    QTimer timer_;
};
