// The controls of the point-table window and where they stand.

#include "plugin/ui/CDLLView.h"

#include "plugin/CWaypadApp.h"
#include "plugin/WaypadTexts.h"
#include "plugin/ui/PointTableGrid.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

namespace {

QPushButton* button(const char* caption, const char* name, QWidget* parent, bool checkable = false)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setCheckable(checkable);
    return b;
}

QSpinBox* spin(const char* name, int low, int high, int value, int step, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(low, high);
    s->setSingleStep(step);
    s->setValue(value);
    return s;
}

}  // namespace

void CDLLView::buildControls()
{
    grid_ = new PointTableGrid(QString::fromStdString(app_.text(waypad::kPositionColumnText)),
                               QString::fromStdString(app_.text(waypad::kSpeedColumnText)), this);

    auto* drive = new QGroupBox("Driver", this);
    readButton_ = button("ReadFromDriver", "readFromDriver", drive);
    writeButton_ = button("WriteToDriver", "writeToDriver", drive);
    servoButton_ = button("Turn ServoON", "servoToggle", drive, true);
    homingButton_ = button("Homing Setup...", "homingSetup", drive);
    modeLabel_ = new QLabel(QString::fromStdString(app_.text(waypad::kActiveModeText)), drive);
    modeLabel_->setObjectName("activeMode");
    progress_ = new QProgressBar(drive);
    progress_->setObjectName("progress");
    progress_->setRange(0, 8);
    progress_->setValue(0);
    auto* driveLayout = new QGridLayout(drive);
    driveLayout->addWidget(readButton_, 0, 0);
    driveLayout->addWidget(writeButton_, 0, 1);
    driveLayout->addWidget(servoButton_, 1, 0);
    driveLayout->addWidget(homingButton_, 1, 1);
    driveLayout->addWidget(modeLabel_, 2, 0, 1, 2);
    driveLayout->addWidget(progress_, 3, 0, 1, 2);

    auto* file = new QGroupBox("File", this);
    importButton_ = button("Import from file", "importFromFile", file);
    exportButton_ = button("Export to file", "exportToFile", file);
    fileLabel_ = new QLabel(file);
    fileLabel_->setObjectName("filePath");
    fileLabel_->setWordWrap(true);
    auto* fileLayout = new QGridLayout(file);
    fileLayout->addWidget(importButton_, 0, 0);
    fileLayout->addWidget(exportButton_, 0, 1);
    fileLayout->addWidget(fileLabel_, 1, 0, 1, 2);

    auto* move = new QGroupBox("Goto", this);
    pulseSpin_ = spin("pulse", INT_MIN, INT_MAX, 0, 100, move);
    speedSpin_ = spin("speed", 1, 10000, 100, 10, move);
    gotoAbsButton_ = button("Goto ABS pulse", "gotoAbs", move);
    gotoRelButton_ = button("Goto REL pulse", "gotoRel", move);
    positionLabel_ = new QLabel("0", move);
    positionLabel_->setObjectName("position");
    positionLabel_->setFrameShape(QFrame::Panel);
    positionLabel_->setFrameShadow(QFrame::Sunken);
    positionLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pointSpin_ = spin("pointNumber", 1, 16, 1, 1, move);
    getPointButton_ = button("Get point", "getPoint", move);
    setPointButton_ = button("Set point", "setPoint", move);
    auto* moveLayout = new QGridLayout(move);
    moveLayout->addWidget(new QLabel("Pulse", move), 0, 0);
    moveLayout->addWidget(pulseSpin_, 0, 1);
    moveLayout->addWidget(new QLabel("Speed(rpm)", move), 1, 0);
    moveLayout->addWidget(speedSpin_, 1, 1);
    moveLayout->addWidget(gotoAbsButton_, 2, 0);
    moveLayout->addWidget(gotoRelButton_, 2, 1);
    moveLayout->addWidget(new QLabel("Position", move), 3, 0);
    moveLayout->addWidget(positionLabel_, 3, 1);
    moveLayout->addWidget(new QLabel("Point", move), 4, 0);
    moveLayout->addWidget(pointSpin_, 4, 1);
    moveLayout->addWidget(getPointButton_, 5, 0);
    moveLayout->addWidget(setPointButton_, 5, 1);

    auto* run = new QGroupBox("Run point to point", this);
    firstSpin_ = spin("first", 1, 16, 1, 1, run);
    lastSpin_ = spin("last", 1, 16, 1, 1, run);
    delaySpin_ = spin("delay", 0, INT_MAX, 0, 10, run);
    runButton_ = button("Run", "run", run, true);
    auto* runLayout = new QGridLayout(run);
    runLayout->addWidget(new QLabel("First", run), 0, 0);
    runLayout->addWidget(firstSpin_, 0, 1);
    runLayout->addWidget(new QLabel("Last", run), 1, 0);
    runLayout->addWidget(lastSpin_, 1, 1);
    runLayout->addWidget(new QLabel("Delay(ms)", run), 2, 0);
    runLayout->addWidget(delaySpin_, 2, 1);
    runLayout->addWidget(runButton_, 3, 0, 1, 2);

    auto* side = new QVBoxLayout;
    for (QWidget* group : {static_cast<QWidget*>(drive), static_cast<QWidget*>(file), static_cast<QWidget*>(move),
                           static_cast<QWidget*>(run)})
        side->addWidget(group);
    side->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(side);

    connect(readButton_, &QPushButton::clicked, this, &CDLLView::readFromDriver);
    connect(writeButton_, &QPushButton::clicked, this, &CDLLView::writeToDriver);
    connect(importButton_, &QPushButton::clicked, this, &CDLLView::importFromFile);
    connect(exportButton_, &QPushButton::clicked, this, &CDLLView::exportToFile);
    connect(servoButton_, &QPushButton::toggled, this, &CDLLView::toggleServo);
    connect(gotoAbsButton_, &QPushButton::clicked, this, [this] { gotoPosition(true); });
    connect(gotoRelButton_, &QPushButton::clicked, this, [this] { gotoPosition(false); });
    connect(runButton_, &QPushButton::toggled, this, &CDLLView::toggleRun);
    connect(getPointButton_, &QPushButton::clicked, this, &CDLLView::getPoint);
    connect(setPointButton_, &QPushButton::clicked, this, &CDLLView::setPoint);
    connect(homingButton_, &QPushButton::clicked, this, &CDLLView::openHomingSetup);
}
