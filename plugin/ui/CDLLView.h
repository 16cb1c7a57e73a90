#pragma once
// The point-table window: the grid of the drive's internal-position set and
// the controls that read it from and write it to the drive, move the drive,
// run the points one after another, and keep the set in ".wpd" files. The
// view never talks to the drive: it fills the shared block, issues steps to
// the worker, and a 10 ms timer shows how they ended.

#include "plugin/ParameterBlock.h"

#include <QWidget>

class CDlgHomeSetup;
class CWaypadApp;
class PointTableGrid;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

class CDLLView : public QWidget {
    Q_OBJECT
public:
    explicit CDLLView(CWaypadApp& app, QWidget* parent = nullptr);
    ~CDLLView() override;

    PointTableGrid* grid() const { return grid_; }
    CDlgHomeSetup* homeSetup() const { return homeSetup_; }

    // Used by the homing dialog.
    void showServoState(bool on);
    void setServoToggleEnabled(bool enabled);
    // Re-applies the enabling rules (after the homing dialog hides).
    void applyEnabling();
    void showValue(int field, int32_t value);
    // Asks the write warning, then writes the grid to the drive.
    void writeAllWithWarning();

    // Command handlers, public for the dialog and for tests.
    void readFromDriver();
    void writeToDriver();
    void importFromFile();
    void exportToFile();
    void toggleServo(bool on);
    void gotoPosition(bool absolute);
    void toggleRun(bool run);
    void getPoint();
    void setPoint();
    void openHomingSetup();

private:
    // Shows the CommSteps message and returns false while a step runs.
    bool ensureIdle();
    bool issue(int32_t step);
    void startReadAll();
    void startWriteAll();
    void onTimer();
    void finishSteps();
    void readFinished(int32_t result);
    void tell(const std::string& text, bool failure);
    void showRunning(bool running);
    void buildControls();

    CWaypadApp& app_;
    PointTableGrid* grid_;
    QPushButton *readButton_, *writeButton_, *importButton_, *exportButton_, *servoButton_;
    QPushButton *gotoAbsButton_, *gotoRelButton_, *runButton_, *getPointButton_, *setPointButton_;
    QPushButton* homingButton_;
    QSpinBox *firstSpin_, *lastSpin_, *delaySpin_, *pulseSpin_, *speedSpin_, *pointSpin_;
    QLabel *modeLabel_, *fileLabel_, *positionLabel_;
    QProgressBar* progress_;
    QTimer* timer_;
    CDlgHomeSetup* homeSetup_ = nullptr;
    int ticks_ = 0;
    int previousFirst_ = 1;
    int previousLast_ = 1;
    bool asking_ = false;
};
