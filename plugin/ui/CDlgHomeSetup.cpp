#include "plugin/ui/CDlgHomeSetup.h"

#include "plugin/CWaypadApp.h"
#include "plugin/ViewRules.h"
#include "plugin/ui/CDLLView.h"
#include "plugin/ui/CJogSlider.h"
#include "platform/Ticks.h"
#include "platform/UserPrompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

using namespace waypad;

namespace {
// The timers tick as fast as the window system's timers allow; the
// countdowns count these ticks.
constexpr int kTimerMs = 10;
}  // namespace

CDlgHomeSetup::CDlgHomeSetup(CWaypadApp& app, CDLLView& view)
    : QDialog(&view), app_(app), view_(view), planner_(app.settings().jogType, app.settings().jogTimeMs)
{
    setObjectName("homeSetup");
    setWindowTitle("Home Setup");
    setModal(false);
    buildControls();
    setMinimumWidth(340);
    statusTimer_ = new QTimer(this);
    jogTimer_ = new QTimer(this);
    connect(statusTimer_, &QTimer::timeout, this, &CDlgHomeSetup::onStatusTimer);
    connect(jogTimer_, &QTimer::timeout, this, &CDlgHomeSetup::onJogTimer);
    statusTimer_->start(kTimerMs);
    jogTimer_->start(kTimerMs);
}

CDlgHomeSetup::~CDlgHomeSetup()
{
    app_.shared().dialogActive = 0;
}

// ---- showing and hiding ---------------------------------------------------

void CDlgHomeSetup::showEvent(QShowEvent* event)
{
    WaypadShared& s = app_.shared();
    showServoState(s.servoOn.load() != 0);
    speedSpin_->setValue(LimitJogValue(s.block.get(kJogSpeed)));
    planner_.shown();
    s.dialogActive = 1;
    QDialog::showEvent(event);
}

void CDlgHomeSetup::hideEvent(QHideEvent* event)
{
    app_.shared().dialogActive = 0;
    QDialog::hideEvent(event);
}

void CDlgHomeSetup::reject()
{
    hide();
    view_.applyEnabling();  // the window's servo toggle comes back
}

void CDlgHomeSetup::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

// ---- controls ---------------------------------------------------------------

void CDlgHomeSetup::showServoState(bool on)
{
    const QSignalBlocker quiet(servoButton_);
    servoButton_->setChecked(on);
    servoButton_->setText(on ? "Turn ServoOFF" : "Turn ServoON");
}

void CDlgHomeSetup::toggleServo(bool on)
{
    WaypadShared& s = app_.shared();
    if (!s.comm.idle()) {
        // Put back; the window's toggle follows.
        showServoState(s.servoOn.load() != 0);
        view_.showServoState(s.servoOn.load() != 0);
        return;
    }
    showServoState(on);
    view_.showServoState(on);
    s.servoOn = on ? 1 : 0;
    if (on)
        app_.host().clearStatusBits(kPluginCloseAnsweredBit);
    s.comm.issue(CS_ServoOnOff_2);
}

void CDlgHomeSetup::startHoming()
{
    WaypadShared& s = app_.shared();
    if (s.block.get(kSkipGearRatio) != 1) {
        view_.openHomingSetup();  // the first-use question; the dialog stays as it is
        return;
    }
    s.comm.issue(CS_Homing);
}

void CDlgHomeSetup::zeroReference()
{
    WaypadShared& s = app_.shared();
    if (!s.comm.issue(CS_ZeroHomeOffsetRef))
        platform::userPrompt().messageBox(CommStepsBusyText(s.comm.step()), "Comm", platform::PromptButtons::Ok,
                                          platform::PromptIcon::Information);
}

void CDlgHomeSetup::setHomeOffset()
{
    WaypadShared& s = app_.shared();
    bool ok = false;
    const int32_t reference = referenceLabel_->text().toInt(&ok);
    s.block.set(kHomingOffset, ok ? reference : 0);
    view_.showValue(kHomingOffset, s.block.get(kHomingOffset));
    s.block.set(kSkipGearRatio, 1);
    view_.showValue(kSkipGearRatio, 1);
    view_.writeAllWithWarning();
}

void CDlgHomeSetup::showMode()
{
    const bool pulse = pulseRadio_->isChecked();
    speedSpin_->setEnabled(!pulse);
    rpmLabel_->setEnabled(!pulse);
    pulseSpin_->setEnabled(pulse);
    pulseUnitLabel_->setEnabled(pulse);
}

// ---- timers -----------------------------------------------------------------

void CDlgHomeSetup::onStatusTimer()
{
    WaypadShared& s = app_.shared();
    if (app_.settings().showPulsePosition == 2 && s.dialogActive.load()) {
        statusLabel_->setText(QString::fromStdString(DriveStatusText(s.driveStatus.load())));
        referenceLabel_->setText(QString::number(s.homeReference.load()));
    }
    const int32_t step = s.comm.step();
    int32_t result = 0;
    if (step == CS_Jog + 1) {
        if (s.comm.take(step, result))
            planner_.jogFinished(platform::tickCount());
        return;
    }
    const bool mine = step == CS_ServoOnOff_2 + 1 || step == CS_Homing + 1 || step == CS_ZeroHomeOffsetRef + 1 ||
                      step == CS_JogSpeed + 1;
    if (!mine || !s.comm.take(step, result) || result != kResultFailure)
        return;
    platform::userPrompt().messageBox(FinishedStepMessage(step, result), "Comm", platform::PromptButtons::Ok,
                                      platform::PromptIcon::Error);
}

void CDlgHomeSetup::onJogTimer()
{
    WaypadShared& s = app_.shared();
    if (!s.dialogActive.load())
        return;
    JogPlanner::Inputs in;
    in.slider = slider_->value();
    in.reverse = reverseCheck_->isChecked();
    in.pulseMode = pulseRadio_->isChecked();
    in.pulseEdit = pulseSpin_->value();
    in.speedEdit = speedSpin_->value();
    const JogPlanner::Outcome out = planner_.tick(in, s, platform::tickCount());
    if (out.pulseEdit != in.pulseEdit)
        pulseSpin_->setValue(out.pulseEdit);
    if (out.speedEdit != in.speedEdit)
        speedSpin_->setValue(out.speedEdit);
    if (out.jogSpeedChanged)
        view_.showValue(kJogSpeed, out.speedEdit);
}

void CDlgHomeSetup::buildControls()
{
    auto* status = new QGroupBox("Status", this);
    statusLabel_ = new QLabel("Not Ready", status);
    statusLabel_->setObjectName("driveStatus");
    servoButton_ = new QPushButton("Turn ServoON", status);
    servoButton_->setObjectName("servoToggle");
    servoButton_->setCheckable(true);
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->addWidget(statusLabel_, 1);
    statusLayout->addWidget(servoButton_);

    homingButton_ = new QPushButton("Homing", this);
    homingButton_->setObjectName("homing");

    auto* jog = new QGroupBox("Jog Operation", this);
    normalRadio_ = new QRadioButton("Normal", jog);
    normalRadio_->setObjectName("normal");
    pulseRadio_ = new QRadioButton("Pulse", jog);
    pulseRadio_->setObjectName("pulseMode");
    normalRadio_->setChecked(true);
    speedSpin_ = new QSpinBox(jog);
    speedSpin_->setObjectName("jogSpeed");
    speedSpin_->setRange(kJogLimitMin, kJogLimitMax);
    pulseSpin_ = new QSpinBox(jog);
    pulseSpin_->setObjectName("jogPulses");
    pulseSpin_->setRange(kJogLimitMin, kJogLimitMax);
    pulseSpin_->setValue(1);
    rpmLabel_ = new QLabel("RPM", jog);
    pulseUnitLabel_ = new QLabel("Pulse", jog);
    reverseCheck_ = new QCheckBox("Reverse", jog);
    reverseCheck_->setObjectName("reverse");
    slider_ = new CJogSlider(jog);
    plusLabel_ = new QLabel("J+", jog);
    minusLabel_ = new QLabel("J-", jog);
    plusLabel_->setObjectName("leftLabel");
    minusLabel_->setObjectName("rightLabel");
    auto* jogLayout = new QGridLayout(jog);
    jogLayout->addWidget(normalRadio_, 0, 0);
    jogLayout->addWidget(speedSpin_, 0, 1);
    jogLayout->addWidget(rpmLabel_, 0, 2);
    jogLayout->addWidget(pulseRadio_, 1, 0);
    jogLayout->addWidget(pulseSpin_, 1, 1);
    jogLayout->addWidget(pulseUnitLabel_, 1, 2);
    jogLayout->addWidget(reverseCheck_, 2, 0);
    jogLayout->addWidget(plusLabel_, 3, 0, Qt::AlignRight);
    jogLayout->addWidget(slider_, 3, 1);
    jogLayout->addWidget(minusLabel_, 3, 2);

    auto* offset = new QGroupBox("Offset", this);
    referenceLabel_ = new QLabel("0", offset);
    referenceLabel_->setObjectName("homeReference");
    referenceLabel_->setFrameShape(QFrame::Panel);
    referenceLabel_->setFrameShadow(QFrame::Sunken);
    referenceLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    zeroButton_ = new QPushButton("Zero", offset);
    zeroButton_->setObjectName("zero");
    setOffsetButton_ = new QPushButton("Set home offset", offset);
    setOffsetButton_->setObjectName("setHomeOffset");
    auto* offsetLayout = new QGridLayout(offset);
    offsetLayout->addWidget(referenceLabel_, 0, 0, 1, 2);
    offsetLayout->addWidget(zeroButton_, 1, 0);
    offsetLayout->addWidget(setOffsetButton_, 1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : {static_cast<QWidget*>(status), static_cast<QWidget*>(homingButton_),
                       static_cast<QWidget*>(jog), static_cast<QWidget*>(offset), static_cast<QWidget*>(buttons)})
        layout->addWidget(w);

    QFont font = statusLabel_->font();
    font.setPointSize(12);
    for (QWidget* w : {static_cast<QWidget*>(statusLabel_), static_cast<QWidget*>(referenceLabel_),
                       static_cast<QWidget*>(speedSpin_), static_cast<QWidget*>(pulseSpin_)})
        w->setFont(font);
    showMode();

    connect(servoButton_, &QPushButton::toggled, this, &CDlgHomeSetup::toggleServo);
    connect(homingButton_, &QPushButton::clicked, this, &CDlgHomeSetup::startHoming);
    connect(zeroButton_, &QPushButton::clicked, this, &CDlgHomeSetup::zeroReference);
    connect(setOffsetButton_, &QPushButton::clicked, this, &CDlgHomeSetup::setHomeOffset);
    connect(pulseRadio_, &QRadioButton::toggled, this, &CDlgHomeSetup::showMode);
    connect(reverseCheck_, &QCheckBox::toggled, this, [this](bool reversed) {
        plusLabel_->setText(reversed ? "J-" : "J+");
        minusLabel_->setText(reversed ? "J+" : "J-");
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgHomeSetup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgHomeSetup::reject);
}
