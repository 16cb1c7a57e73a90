#include "link/ui/CMessageEx.h"

#include "link/LinkState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
void colourLabel(QLabel* label, uint8_t colourMode)
{
    QColor text;
    if (colourMode == 1)
        text = QColor(255, 0, 0);
    else if (colourMode == 2)
        text = QColor(255, 255, 0);
    else
        return;  // other modes keep the label's default colours
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, QColor(0, 0, 0));
    label->setAutoFillBackground(true);
    label->setPalette(palette);
}
}  // namespace

CMessageEx::CMessageEx(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      heading_(new QLabel(this)),
      message_(new QLabel(this)),
      ok_(new QPushButton(this)),
      cancel_(new QPushButton(this)),
      timer_(new QTimer(this))
{
    setModal(true);
    heading_->setObjectName("heading");
    message_->setObjectName("message");
    heading_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    message_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ok_->hide();
    cancel_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(message_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    const CommandWaitRequest& request = linkState().commandWait;
    heading_->setText(QString::fromStdString(request.heading));
    message_->setText(QString::fromStdString(request.message));
    colourLabel(message_, request.colourMode);

    timer_->setInterval(CommandWait::kTickIntervalMs);
    connect(timer_, &QTimer::timeout, this, &CMessageEx::onTick);
}

void CMessageEx::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    timer_->start();
}

void CMessageEx::done(int result)
{
    if (!wait_.finished())
        return;
    QDialog::done(result);
}

void CMessageEx::onTick()
{
    if (wait_.tick()) {
        timer_->stop();
        accept();
    }
}
