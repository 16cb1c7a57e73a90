#pragma once
// The alarm list: the drive's current alarm in a large status line (green
// when there is none, flashing red for an alarm) and its 16 history records,
// read once a second through the link. The history can be saved as CSV.

#include "monitor/AlarmListModel.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

class CAlarmListView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 1000;
    static constexpr int kFlashMs = 500;

    explicit CAlarmListView(QWidget* parent = nullptr);

    QLabel* statusLine() const { return status_; }
    QLineEdit* historyField(int record) const { return history_[record - 1]; }
    QPushButton* saveButton() const { return save_; }
    QToolButton* exitButton() const { return exit_; }
    QTimer* refreshTimer() const { return refreshTimer_; }
    QTimer* flashTimer() const { return flashTimer_; }
    const AlarmListModel& model() const { return model_; }
    // The colour the status line's text has at this moment of its flashing.
    QColor statusTextColour() const;

public slots:
    // One refresh: reads the drive and shows what it said.
    void refresh();

private slots:
    void flash();
    void saveHistory();
    void exitView();

private:
    void paintStatus();

    AlarmListModel model_;
    QLabel* status_;
    std::array<QLineEdit*, kAlarmHistoryLength> history_{};
    QPushButton* save_;
    QToolButton* exit_;
    QTimer* refreshTimer_;
    QTimer* flashTimer_;
    bool flashLit_ = true;
};
