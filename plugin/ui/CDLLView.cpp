#include "plugin/ui/CDLLView.h"

#include "plugin/CWaypadApp.h"
#include "plugin/PointRun.h"
#include "plugin/ViewRules.h"
#include "plugin/WaypadTexts.h"
#include "plugin/WpdFile.h"
#include "plugin/ui/CDLLChildFrame.h"
#include "plugin/ui/CDlgHomeSetup.h"
#include "plugin/ui/PointTableGrid.h"
#include "platform/UserPrompt.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

using namespace waypad;
using platform::PromptButtons;
using platform::PromptIcon;

namespace {

constexpr int kReadProgressMax = 8;
constexpr int kWriteProgressMax = 7;
constexpr const char* kFileFilter = "WPD Files (*.wpd)|*.wpd|All Files (*.*)|*.*||";
constexpr const char* kFirstUseOffsetText =
    "首次啟用 HomeSetup 將重新設定 [回原點參數 \\ 位移] 數值，並儲存參數至伺服驅動器\r\n\r\n";
constexpr const char* kFirstUseSkipText =
    "首次啟用 HomeSetup 將重新設定 [回原點參數 \\ 位移命令略過電齒比] 數值，並儲存參數至伺服驅動器\r\n\r\n";

std::string withPath(const std::string& format, const std::string& path, const std::string& detail = {})
{
    std::string text = format;
    const size_t first = text.find("%s");
    if (first != std::string::npos)
        text.replace(first, 2, path);
    const size_t second = text.find("%s");
    if (second != std::string::npos)
        text.replace(second, 2, detail);
    return text;
}

}  // namespace

CDLLView::CDLLView(CWaypadApp& app, QWidget* parent) : QWidget(parent), app_(app)
{
    setObjectName("pointTableView");
    buildControls();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CDLLView::onTimer);
    timer_->start(10);
    homeSetup_ = new CDlgHomeSetup(app_, *this);

    app_.windowOpened();
    applyEnabling();
    if (!app_.host().linkUp())
        return;
    showRunning(app_.shared().comm.step() == CS_RunPointToPoint);
    if (!app_.shared().comm.idle()) {
        // Shown once the window stands.
        QTimer::singleShot(0, this, [this] { ensureIdle(); });
        return;
    }
    startReadAll();
}

CDLLView::~CDLLView()
{
    timer_->stop();
    delete homeSetup_;
    app_.shared().dialogActive = 0;
    app_.windowClosed();
}

// ---- commands ---------------------------------------------------------------

bool CDLLView::ensureIdle()
{
    const int32_t step = app_.shared().comm.step();
    if (app_.shared().comm.idle())
        return true;
    platform::userPrompt().messageBox(CommStepsBusyText(step), "Comm", PromptButtons::Ok, PromptIcon::Information);
    return false;
}

bool CDLLView::issue(int32_t step)
{
    if (app_.shared().comm.issue(step))
        return true;
    ensureIdle();
    return false;
}

void CDLLView::startReadAll()
{
    app_.shared().progress = 1;
    progress_->setRange(0, kReadProgressMax);
    progress_->setValue(1);
    app_.shared().comm.issue(CS_ReadAllParms);
}

void CDLLView::startWriteAll()
{
    WaypadShared& s = app_.shared();
    s.progress = 1;
    progress_->setRange(0, kWriteProgressMax);
    progress_->setValue(1);
    s.block.assign(grid_->values(s.block.snapshot()));
    s.comm.issue(CS_WriteAllParms);
}

void CDLLView::readFromDriver()
{
    if (ensureIdle())
        startReadAll();
}

void CDLLView::writeToDriver()
{
    if (ensureIdle())
        writeAllWithWarning();
}

void CDLLView::writeAllWithWarning()
{
    if (!ensureIdle())
        return;
    const int answer = platform::userPrompt().messageBox(app_.text(kWriteWarningText), "WARNING",
                                                         PromptButtons::YesNo, PromptIcon::Warning);
    if (answer == platform::PromptYes && ensureIdle())
        startWriteAll();
}

void CDLLView::importFromFile()
{
    if (!ensureIdle())
        return;
    platform::FileChoice choice{"Import from file", app_.settings().lastFileFolder(), kFileFilter, ""};
    const std::string path = platform::userPrompt().openFileName(choice);
    if (path.empty())
        return;
    app_.settings().filePath = path;
    const WpdReadResult read = ReadWpdFile(path);
    if (!read.ok) {
        // The grid keeps what it showed.
        tell(withPath(app_.text(read.errorTextId), path, read.errorDetail), true);
        return;
    }
    fileLabel_->setText(QString::fromStdString(" Import Path>   " + path));
    WaypadShared& s = app_.shared();
    ParameterValues merged = read.values;
    merged[kRegister1222] = s.block.get(kRegister1222);  // the drive's, not the file's
    s.block.assign(merged);
    grid_->setValues(merged);
}

void CDLLView::exportToFile()
{
    if (!ensureIdle())
        return;
    platform::FileChoice choice{"Export to file", app_.settings().lastFileFolder(), kFileFilter, "Waystation.wpd"};
    std::string path = platform::userPrompt().saveFileName(choice);
    if (path.empty())
        return;
    if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) {
        path += ".wpd";
        if (QFileInfo::exists(QString::fromStdString(path)) &&
            platform::userPrompt().messageBox(path + " already exists.\nDo you want to replace it?", "Export to file",
                                              PromptButtons::YesNo, PromptIcon::Warning) != platform::PromptYes)
            return;
    }
    app_.settings().filePath = path;
    fileLabel_->setText(QString::fromStdString(" Export Path>   " + path));
    WaypadShared& s = app_.shared();
    s.block.assign(grid_->values(s.block.snapshot()));
    if (!WriteWpdFile(path, s.block.snapshot()))
        tell(withPath(app_.text(kFileWriteFailedText), path), true);
}

void CDLLView::toggleServo(bool on)
{
    WaypadShared& s = app_.shared();
    if (!ensureIdle()) {
        showServoState(s.servoOn.load() != 0);  // put back
        return;
    }
    showServoState(on);
    s.servoOn = on ? 1 : 0;
    if (on)
        app_.host().clearStatusBits(kPluginCloseAnsweredBit);
    s.comm.issue(s.extended() ? CS_ServoOnOff_2 : CS_ServoOnOff);
}

void CDLLView::gotoPosition(bool absolute)
{
    if (!ensureIdle())
        return;
    app_.shared().targetPosition = pulseSpin_->value();
    app_.shared().targetSpeed = speedSpin_->value();
    issue(absolute ? CS_GotoABS_PulsePos : CS_GotoREL_PulsePos);
}

void CDLLView::toggleRun(bool run)
{
    WaypadShared& s = app_.shared();
    if (!run || s.comm.step() == CS_RunPointToPoint) {
        showRunning(false);
        if (s.comm.step() == CS_RunPointToPoint) {
            s.runSubStep = TRC_IDLE;
            s.comm.cancel(CS_RunPointToPoint);
        }
        return;
    }
    if (!ensureIdle()) {
        showRunning(false);
        return;
    }
    showRunning(true);
    s.runFirst = firstSpin_->value() - 1;
    s.runLast = lastSpin_->value() - 1;
    s.runDelayMs = delaySpin_->value();
    s.runSubStep = TRC_Init;
    s.comm.issue(CS_RunPointToPoint);
}

void CDLLView::getPoint()
{
    if (!ensureIdle())
        return;
    const int index = pointSpin_->value() - 1;
    pulseSpin_->setValue(grid_->value(PointPosition(index)));
    speedSpin_->setValue(grid_->value(PointSpeed(index)));
}

void CDLLView::setPoint()
{
    if (!ensureIdle())
        return;
    const int index = pointSpin_->value() - 1;
    if (index < 0 || index >= kPointCount)
        return;
    grid_->setValue(PointPosition(index), pulseSpin_->value());
    grid_->setValue(PointSpeed(index), speedSpin_->value());
}

void CDLLView::openHomingSetup()
{
    WaypadShared& s = app_.shared();
    if (s.block.get(kSkipGearRatio) != 1) {
        if (!ensureIdle())
            return;
        const std::string text = (s.block.get(kHomingOffset) != 0 ? kFirstUseOffsetText : kFirstUseSkipText) +
                                 app_.text(kWriteWarningText);
        if (platform::userPrompt().messageBox(text, "WARNING", PromptButtons::YesNo, PromptIcon::Warning) !=
                platform::PromptYes ||
            !ensureIdle())
            return;
        for (const auto& [field, value] : {std::pair{kHomingOffset, 0}, std::pair{kSkipGearRatio, 1}}) {
            s.block.set(field, value);
            grid_->setValue(field, value);
        }
        startWriteAll();
    }
    homeSetup_->show();
    homeSetup_->raise();
    setServoToggleEnabled(false);
}

// ---- what the dialog and the timer show -----------------------------------

void CDLLView::showServoState(bool on)
{
    const QSignalBlocker quiet(servoButton_);
    servoButton_->setChecked(on);
    servoButton_->setText(on ? "Turn ServoOFF" : "Turn ServoON");
}

void CDLLView::showRunning(bool running)
{
    const QSignalBlocker quiet(runButton_);
    runButton_->setChecked(running);
    runButton_->setText(running ? "Stop" : "Run");
}

void CDLLView::setServoToggleEnabled(bool enabled)
{
    servoButton_->setEnabled(enabled);
}

void CDLLView::showValue(int field, int32_t value)
{
    grid_->setValue(field, value);
}

void CDLLView::applyEnabling()
{
    const WaypadShared& s = app_.shared();
    const ControlEnabling e = EnablingFor(app_.host().linkUp(), s.activeMode.load(), s.extended());
    readButton_->setEnabled(e.read);
    writeButton_->setEnabled(e.write);
    servoButton_->setEnabled(e.servo && !(homeSetup_ && homeSetup_->isVisible()));
    homingButton_->setEnabled(e.homingSetup);
    runButton_->setEnabled(e.run);
    getPointButton_->setEnabled(e.getPoint);
    setPointButton_->setEnabled(e.setPoint);
    gotoAbsButton_->setEnabled(e.gotoAbs);
    gotoRelButton_->setEnabled(e.gotoRel);
}

void CDLLView::tell(const std::string& text, bool failure)
{
    platform::userPrompt().messageBox(text, "Comm", PromptButtons::Ok,
                                      failure ? PromptIcon::Error : PromptIcon::Information);
}

void CDLLView::onTimer()
{
    WaypadShared& s = app_.shared();
    int first = firstSpin_->value(), last = lastSpin_->value();
    CorrectFirstLast(previousFirst_, previousLast_, first, last);
    firstSpin_->setValue(first);
    lastSpin_->setValue(last);
    previousFirst_ = first;
    previousLast_ = last;

    const bool running = s.comm.step() == CS_RunPointToPoint;
    if (++ticks_ % 6 == 0 && (running || app_.settings().showPulsePosition == 2))
        positionLabel_->setText(QString::number(s.position.load()));
    if (!running && runButton_->isChecked())
        showRunning(false);
    if (servoButton_->isChecked() != (s.servoOn.load() != 0))
        showServoState(s.servoOn.load() != 0);  // the close question turned it off

    if (asking_)
        return;
    asking_ = true;
    if (s.closeQuestionWanted.load()) {
        // The host wants to close: asked here, carried out by the worker.
        if (app_.closeQuestionDue())
            CDLLChildFrame::askCloseQuestion(app_);
        else
            app_.answerCloseQuestion(true);  // the servo went off meanwhile: nothing to ask
        s.closeQuestionWanted = 0;
    }
    finishSteps();
    asking_ = false;
}

void CDLLView::finishSteps()
{
    WaypadShared& s = app_.shared();
    const int32_t step = s.comm.step();
    if (step == CS_ReadAllParms || step == CS_WriteAllParms) {
        progress_->setValue(std::min(s.progress.load(), progress_->maximum()));
        return;
    }
    int32_t result = 0;
    if (step == CS_ReadAllParms + 1 && s.comm.take(step, result)) {
        readFinished(result);
        return;
    }
    const bool mine = step == CS_WriteAllParms + 1 || step == CS_ServoOnOff + 1 || step == CS_RunPointToPoint + 1 ||
                      step == CS_GotoABS_PulsePos + 1 || step == CS_GotoREL_PulsePos + 1 ||
                      step == CS_ServoOnOff_2 + 1;
    if (!mine || !s.comm.take(step, result))
        return;
    if (step == CS_WriteAllParms + 1)
        progress_->setValue(std::min(s.progress.load(), progress_->maximum()));
    if (step == CS_RunPointToPoint + 1) {
        if (result == kResultFailure)
            tell(std::string("Run point to point failed at step:") + PointRunStepName(s.runSubStep.load()), true);
        return;
    }
    const std::string message = FinishedStepMessage(step, result);
    if (!message.empty())
        tell(message, result != kResultSuccess);
}

void CDLLView::readFinished(int32_t result)
{
    WaypadShared& s = app_.shared();
    progress_->setValue(std::min(s.progress.load(), progress_->maximum()));
    if (result != kResultSuccess) {
        tell("Read data failed.", true);
        return;
    }
    grid_->setValues(s.block.snapshot());
    if (s.extended()) {
        const bool on = s.servoReadOn.load() != 0;
        s.servoOn = on ? 1 : 0;
        if (on)
            app_.host().clearStatusBits(kPluginCloseAnsweredBit);
        showServoState(on);
    }
    grid_->setSkipGearRatioAvailable(s.extended());
    modeLabel_->setText(QString::fromStdString(ActiveModeLabel(app_.text(kActiveModeText), s.activeMode.load())));
    applyEnabling();
    tell("Read data success.", false);
}
