#include "monitor/ui/CAlarmListView.h"

#include "monitor/AlarmHistoryCsv.h"
#include "platform/UserPrompt.h"
#include "texts/LoadText.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QColor kStatusBackground(0, 0, 0);

QString qtext(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CAlarmListView::CAlarmListView(QWidget* parent)
    : QWidget(parent),
      status_(new QLabel(this)),
      save_(new QPushButton(qtext(LoadText(650)), this)),
      exit_(new QToolButton(this)),
      refreshTimer_(new QTimer(this)),
      flashTimer_(new QTimer(this))
{
    setObjectName("AlarmListView");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qtext(LoadText(386)), this));

    QFont statusFont = status_->font();
    statusFont.setPointSize(12);
    status_->setFont(statusFont);
    status_->setObjectName("statusLine");
    status_->setAutoFillBackground(true);
    status_->setMinimumHeight(36);
    status_->setMargin(4);
    layout->addWidget(status_);

    auto* group = new QGroupBox(qtext(LoadText(387)), this);
    auto* grid = new QGridLayout(group);
    for (int k = 0; k < kAlarmHistoryLength; ++k) {
        auto* field = new QLineEdit(group);
        field->setReadOnly(true);
        field->setObjectName(QString("record%1").arg(k + 1));
        // Two columns of eight records.
        grid->addWidget(new QLabel(qtext(AlarmRecordLabel(k + 1)), group), k % 8, (k / 8) * 2);
        grid->addWidget(field, k % 8, (k / 8) * 2 + 1);
        history_[k] = field;
    }
    layout->addWidget(group);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addStretch(1);
    exit_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    exit_->setToolTip("Exit this View.");
    buttons->addWidget(exit_);
    layout->addLayout(buttons);

    connect(save_, &QPushButton::clicked, this, &CAlarmListView::saveHistory);
    connect(exit_, &QToolButton::clicked, this, &CAlarmListView::exitView);
    connect(refreshTimer_, &QTimer::timeout, this, &CAlarmListView::refresh);
    connect(flashTimer_, &QTimer::timeout, this, &CAlarmListView::flash);
    flashTimer_->setInterval(kFlashMs);
    refreshTimer_->start(kRefreshMs);
    paintStatus();
}

QColor CAlarmListView::statusTextColour() const
{
    return status_->palette().color(QPalette::WindowText);
}

void CAlarmListView::refresh()
{
    // A modal dialog may hold the port in the middle of a longer operation
    // (the command-wait loop keeps the stream paused): wait for it.
    if (QApplication::activeModalWidget())
        return;
    AlarmReadout readout;
    const bool read = ReadAlarms(readout);
    const bool repaint = model_.apply(read ? &readout : nullptr);
    status_->setText(qtext(model_.statusText()));
    if (read)
        for (int k = 0; k < kAlarmHistoryLength; ++k)
            history_[k]->setText(qtext(model_.historyTexts()[k]));
    if (repaint) {
        flashLit_ = true;
        if (model_.flashing())
            flashTimer_->start();
        else
            flashTimer_->stop();
        paintStatus();
    }
}

void CAlarmListView::flash()
{
    flashLit_ = !flashLit_;
    paintStatus();
}

void CAlarmListView::paintStatus()
{
    QPalette palette = status_->palette();
    palette.setColor(QPalette::Window, kStatusBackground);
    const QColor text = model_.statusText().empty() ? kStatusBackground : QColor::fromRgb(model_.statusColour());
    palette.setColor(QPalette::WindowText, flashLit_ ? text : kStatusBackground);
    status_->setPalette(palette);
}

void CAlarmListView::saveHistory()
{
    auto& prompt = platform::userPrompt();
    const auto& readout = model_.lastReadout();
    if (!readout) {
        prompt.messageBox(LoadText(652), "Warning");
        return;
    }
    platform::FileChoice choice;
    choice.caption = LoadText(650);
    choice.filter = LoadText(656);
    choice.defaultName = "AlarmHistory.csv";
    const std::string path = prompt.saveFileName(choice);
    if (path.empty())
        return;
    if (!SaveAlarmHistoryCsv(path, *readout))
        prompt.messageBox(LoadText(651) + "\n" + path, "Error");
}

void CAlarmListView::exitView()
{
    refreshTimer_->stop();
    flashTimer_->stop();
    for (QWidget* w = this; w; w = w->parentWidget())
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w))
            return void(frame->close());
    close();
}
