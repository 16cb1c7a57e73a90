#pragma once
// "Home Setup": the modeless homing dialog of the point-table window. It
// shows the drive's homing status and home reference, switches the servo,
// starts homing, zeroes the reference or takes it as the homing offset, and
// jogs with a spring-loaded slider, continuously or by pulses. Like the
// window it only issues steps to the worker.

#include "plugin/JogPlanner.h"

#include <QDialog>

class CDLLView;
class CJogSlider;
class CWaypadApp;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

class CDlgHomeSetup : public QDialog {
    Q_OBJECT
public:
    CDlgHomeSetup(CWaypadApp& app, CDLLView& view);
    ~CDlgHomeSetup() override;

    CJogSlider* slider() const { return slider_; }
    const waypad::JogPlanner& planner() const { return planner_; }

    // Control handlers, public for tests.
    void toggleServo(bool on);
    void startHoming();
    void zeroReference();
    void setHomeOffset();

    void accept() override {}  // OK does nothing
    void reject() override;    // Cancel hides

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void showServoState(bool on);
    void showMode();
    void onStatusTimer();
    void onJogTimer();

    CWaypadApp& app_;
    CDLLView& view_;
    waypad::JogPlanner planner_;
    QLabel *statusLabel_, *referenceLabel_, *plusLabel_, *minusLabel_;
    QPushButton *servoButton_, *homingButton_, *zeroButton_, *setOffsetButton_;
    QRadioButton *normalRadio_, *pulseRadio_;
    QSpinBox *speedSpin_, *pulseSpin_;
    QLabel *rpmLabel_, *pulseUnitLabel_;
    QCheckBox* reverseCheck_;
    CJogSlider* slider_;
    QTimer *statusTimer_, *jogTimer_;
};
