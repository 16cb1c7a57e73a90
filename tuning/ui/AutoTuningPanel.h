#pragma once
// The estimate view's off-line auto gain tuning: stiffness, ServoON, Start,
// ServoOFF, the tuning status and inertia ratio polled every 500 ms, and the
// gains before and after the last run side by side.

#include "tuning/AutoTuningSession.h"

#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

class AutoTuningPanel : public QWidget {
    Q_OBJECT
public:
    explicit AutoTuningPanel(QWidget* parent = nullptr);

    // Enables the controls and runs the status poll, or stops both.
    void setActive(bool active);

    QComboBox* stiffnessList() const { return stiffness_; }
    QPushButton* servoOnButton() const { return servoOn_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* servoOffButton() const { return servoOff_; }
    QLabel* statusLabel() const { return status_; }
    QLabel* inertiaLabel() const { return inertia_; }
    QGroupBox* resultGroup() const { return result_; }
    QLabel* resultCell(int row, int column) const { return resultCells_[row][column]; }
    QTimer* pollTimer() const { return timer_; }
    const AutoTuningSession& session() const { return session_; }

public slots:
    // One status poll: the status read, then its follow-up as a separate
    // event, so the view never blocks for more than one exchange at a time.
    void poll();

private slots:
    void followUp();
    void servo(bool on);
    void startTuning();

private:
    void showDisplay();
    void showResult(const TuningRunResult& result);

    AutoTuningSession session_;
    QComboBox* stiffness_;
    QPushButton* servoOn_;
    QPushButton* start_;
    QPushButton* servoOff_;
    QLabel* status_;
    QLabel* inertia_;
    QGroupBox* result_;
    QLabel* resultOutcome_;
    std::array<std::array<QLabel*, 2>, kResultRows> resultCells_{};
    QTimer* timer_;
    QTimer* followUpTimer_;
};
