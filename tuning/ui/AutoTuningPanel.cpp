#include "tuning/ui/AutoTuningPanel.h"

#include "platform/UserPrompt.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"
#include "tuning/StiffnessTables.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLabel* bigLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPointSize(18);
    label->setFont(font);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(36);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    label->setPalette(palette);
    return label;
}

void showColoured(QLabel* label, const std::string& text, uint32_t colour)
{
    label->setText(QString::fromStdString(text));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(colour));
    label->setPalette(palette);
}

}  // namespace

AutoTuningPanel::AutoTuningPanel(QWidget* parent)
    : QWidget(parent),
      stiffness_(new QComboBox(this)),
      servoOn_(new QPushButton("ServoON", this)),
      start_(new QPushButton("Start", this)),
      servoOff_(new QPushButton("ServoOFF", this)),
      status_(bigLabel(this)),
      inertia_(bigLabel(this)),
      result_(new QGroupBox(LoadQText(653), this)),
      resultOutcome_(new QLabel(result_)),
      timer_(new QTimer(this)),
      followUpTimer_(new QTimer(this))
{
    for (int s = 0; s < kStiffnessLevels; ++s)
        stiffness_->addItem(QString::number(s));
    status_->setObjectName("tuningStatus");
    inertia_->setObjectName("inertiaResult");

    auto* group = new QGroupBox(LoadQText(416), this);
    auto* steps = new QFormLayout(group);
    steps->addRow(LoadQText(417), stiffness_);
    steps->addRow(LoadQText(418), servoOn_);
    steps->addRow(LoadQText(419), start_);
    steps->addRow(LoadQText(420), servoOff_);
    steps->addRow(status_);
    steps->addRow(new QLabel(LoadQText(421), group));
    steps->addRow(inertia_);

    auto* table = new QGridLayout(result_);
    table->addWidget(resultOutcome_, 0, 0, 1, 3);
    table->addWidget(new QLabel(LoadQText(307), result_), 1, 0);
    table->addWidget(new QLabel(LoadQText(654), result_), 1, 1, Qt::AlignRight);
    table->addWidget(new QLabel(LoadQText(655), result_), 1, 2, Qt::AlignRight);
    for (int row = 0; row < kResultRows; ++row) {
        table->addWidget(new QLabel("Pr." + QString::number(kResultParameters[row], 16).toUpper(), result_), row + 2, 0);
        for (int column = 0; column < 2; ++column) {
            resultCells_[row][column] = new QLabel(result_);
            table->addWidget(resultCells_[row][column], row + 2, column + 1, Qt::AlignRight);
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);
    layout->addWidget(result_);

    timer_->setInterval(kTuningPollMs);
    followUpTimer_->setSingleShot(true);
    followUpTimer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &AutoTuningPanel::poll);
    connect(followUpTimer_, &QTimer::timeout, this, &AutoTuningPanel::followUp);
    connect(servoOn_, &QPushButton::clicked, this, [this] { servo(true); });
    connect(servoOff_, &QPushButton::clicked, this, [this] { servo(false); });
    connect(start_, &QPushButton::clicked, this, &AutoTuningPanel::startTuning);
}

void AutoTuningPanel::setActive(bool active)
{
    for (QWidget* control : {static_cast<QWidget*>(stiffness_), static_cast<QWidget*>(servoOn_),
                             static_cast<QWidget*>(start_), static_cast<QWidget*>(servoOff_)})
        control->setEnabled(active);
    if (active) {
        timer_->start();
    } else {
        timer_->stop();
        followUpTimer_->stop();
    }
}

void AutoTuningPanel::poll()
{
    // A modal dialog may hold the port in the middle of a longer operation
    // (the command-wait loop keeps the stream paused): skip this tick.
    if (QApplication::activeModalWidget())
        return;
    if (session_.pollStatus())
        followUpTimer_->start();
    showDisplay();
}

void AutoTuningPanel::followUp()
{
    if (!timer_->isActive())
        return;
    session_.pollFollowUp();
    showDisplay();
    if (const std::optional<TuningRunResult> result = session_.takeFinishedRun())
        showResult(*result);
}

void AutoTuningPanel::showDisplay()
{
    const TuningDisplay& display = session_.display();
    showColoured(status_, display.statusText, display.statusColour);
    showColoured(inertia_, display.inertiaText, display.inertiaColour);
    start_->setEnabled(timer_->isActive() && display.startEnabled);
}

void AutoTuningPanel::showResult(const TuningRunResult& result)
{
    const std::optional<TuningLook> look = TuningStatusLook(result.code);
    resultOutcome_->setText(look ? QString::fromStdString(look->text) : QString());
    for (int row = 0; row < kResultRows; ++row) {
        resultCells_[row][0]->setText(QString::number(result.before[row]));
        resultCells_[row][1]->setText(result.afterKnown ? QString::number(result.after[row]) : QString());
    }
}

void AutoTuningPanel::servo(bool on)
{
    if (!session_.setServo(on))
        platform::userPrompt().messageBox(LoadText(308), "Error");
}

void AutoTuningPanel::startTuning()
{
    const AutoTuningSession::StartResult started = session_.start(stiffness_->currentIndex());
    if (started == AutoTuningSession::StartResult::SnapshotFailed)
        platform::userPrompt().messageBox(LoadText(409), "Error");
    else if (started == AutoTuningSession::StartResult::WriteFailed)
        platform::userPrompt().messageBox(LoadText(308), "Error");
}
