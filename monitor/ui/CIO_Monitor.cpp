#include "monitor/ui/CIO_Monitor.h"

#include "monitor/IoPins.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>

namespace {

// A read-only list tall enough for its header, a blank line and its pins.
QPlainTextEdit* pinText(QWidget* parent, int pins)
{
    auto* text = new QPlainTextEdit(parent);
    text->setReadOnly(true);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    const int lines = pins + 2;
    text->setMinimumHeight(QFontMetrics(text->font()).lineSpacing() * lines + 4 * text->frameWidth() + 8);
    return text;
}

QGroupBox* group(const char* title, QWidget* content, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    (new QVBoxLayout(box))->addWidget(content);
    return box;
}

}  // namespace

CIO_Monitor::CIO_Monitor(CModbus& modbus, int intervalMs, QWidget* parent)
    : QWidget(parent),
      poller_(modbus, intervalMs),
      mode_(new QLabel(QString::fromStdString(poller_.readout().modeText), this)),
      inputs_(pinText(this, int(kInputPins.size()))),
      outputs_(pinText(this, int(kOutputPins.size()))),
      commandSum_(new QLabel("0", this)),
      feedbackSum_(new QLabel("0", this)),
      zeroCommand_(new QPushButton("Zero", this)),
      zeroFeedback_(new QPushButton("Zero", this)),
      exit_(new QToolButton(this)),
      timer_(new QTimer(this))
{
    setObjectName("IoMonitorView");
    QFont modeFont = mode_->font();
    modeFont.setPointSize(12);
    modeFont.setBold(true);
    mode_->setFont(modeFont);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mode_);
    // The inputs across the whole width (their lines are long); below them
    // the outputs, and the pulse sums beside the outputs.
    layout->addWidget(group("Input", inputs_, this), 1);

    const QFont sumFont(QString::fromUtf8("新細明體"), 12);
    auto* sums = new QGridLayout;
    int row = 0;
    for (auto [caption, value, zero] : {std::tuple{"Command pulse sum", commandSum_, zeroCommand_},
                                        std::tuple{"Feedback pulse sum", feedbackSum_, zeroFeedback_}}) {
        value->setFont(sumFont);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(110);
        sums->addWidget(new QLabel(caption, this), row, 0, 1, 2);
        sums->addWidget(value, row + 1, 0);
        sums->addWidget(zero, row + 1, 1);
        row += 2;
    }
    sums->setRowStretch(row, 1);
    exit_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    exit_->setToolTip("Exit this View.");
    sums->addWidget(exit_, row + 1, 1, Qt::AlignRight);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(group("Output", outputs_, this), 1);
    bottom->addLayout(sums);
    layout->addLayout(bottom);

    connect(zeroCommand_, &QPushButton::clicked, this, &CIO_Monitor::zeroCommand);
    connect(zeroFeedback_, &QPushButton::clicked, this, &CIO_Monitor::zeroFeedback);
    connect(exit_, &QToolButton::clicked, this, &CIO_Monitor::exitView);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &CIO_Monitor::pollStep);
    timer_->start(poller_.intervalMs());
}

void CIO_Monitor::pollStep()
{
    // A modal dialog may hold the port in the middle of a longer operation
    // (the command-wait loop keeps the stream paused): ask again later.
    if (QApplication::activeModalWidget()) {
        timer_->start(poller_.intervalMs());
        return;
    }
    const int nextMs = poller_.step();
    show(poller_.readout());
    timer_->start(nextMs);
}

void CIO_Monitor::show(const IoReadout& readout)
{
    mode_->setText(QString::fromStdString(readout.modeText));
    mode_->setEnabled(readout.answering);
    inputs_->setEnabled(readout.answering);
    outputs_->setEnabled(readout.answering);
    if (readout.sumsKnown) {
        commandSum_->setText(QString::number(readout.commandSum));
        feedbackSum_->setText(QString::number(readout.feedbackSum));
    }
    if (readout.inputsKnown && inputs_->toPlainText() != QString::fromStdString(readout.inputText))
        inputs_->setPlainText(QString::fromStdString(readout.inputText));
    if (readout.outputsKnown && outputs_->toPlainText() != QString::fromStdString(readout.outputText))
        outputs_->setPlainText(QString::fromStdString(readout.outputText));
}

void CIO_Monitor::zeroCommand()
{
    if (poller_.zeroCommandSum())
        commandSum_->setText("0");
}

void CIO_Monitor::zeroFeedback()
{
    if (poller_.zeroFeedbackSum())
        feedbackSum_->setText("0");
}

void CIO_Monitor::exitView()
{
    timer_->stop();
    for (QWidget* w = this; w; w = w->parentWidget())
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w))
            return void(frame->close());
    close();
}
