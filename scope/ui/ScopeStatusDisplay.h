#pragma once
// The scope's status display: a small dot-matrix panel whose text
// ("Scanning", "Trigger") scrolls by one dot every 100 ms while it runs.

#include <QTimer>
#include <QWidget>

class ScopeStatusDisplay : public QWidget {
    Q_OBJECT
public:
    explicit ScopeStatusDisplay(QWidget* parent = nullptr);
    // Colours as the drive tool gives them (0x00BBGGRR).
    void showStatus(const QString& text, uint32_t onBgr, uint32_t offBgr, bool animated);
    const QString& text() const { return text_; }
    bool animated() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor on_, off_;
    int offset_ = 0;
    QTimer timer_;
};
