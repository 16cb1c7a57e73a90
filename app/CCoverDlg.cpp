#include "app/CCoverDlg.h"

#include "app/ShellState.h"
#include "platform/UserPrompt.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {
const char kEngineerQuestion[] =
    "連線軟體目前被設定為工程測試版本!\n"
    "工程測試版本的參數設定、功能操作將不受連線軟體保護!\n"
    "\n"
    "若要回到使用一般標準版本或不知道要選什麼，請按下「否」。";
const int kAfterRefusalMs = 2000;
}  // namespace

CCoverDlg::CCoverDlg(int splashTimeMs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), picture_(new QLabel(this)),
      splashTimeMs_(splashTimeMs)
{
    setObjectName("CCoverDlg");
    picture_->setObjectName("coverPicture");
    picture_->setMinimumSize(368, 262);
    picture_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &CCoverDlg::onSplashTimeout);
    engineerPicture_ = Shell().engineerMode == 1;
    showImage(engineerPicture_ ? engineerCover() : coverFromFile());
}

void CCoverDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    timer_.start(splashTimeMs_);
}

void CCoverDlg::showImage(const QImage& image)
{
    // A missing picture leaves the control empty; start-up goes on.
    picture_->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
}

QImage CCoverDlg::coverFromFile()
{
    return QImage(QString::fromStdString(Shell().pathOf("Images/Cover.bmp")));
}

QImage CCoverDlg::engineerCover()
{
    QImage image(368, 262, QImage::Format_RGB32);
    image.fill(QColor(40, 40, 40));
    QPainter painter(&image);
    painter.setPen(QPen(QColor(255, 200, 0), 12));
    for (int x = -262; x < 368; x += 48)
        painter.drawLine(x, 262, x + 262, 0);
    painter.fillRect(QRect(24, 96, 320, 70), QColor(0, 0, 0));
    painter.setPen(QColor(255, 200, 0));
    QFont font = painter.font();
    font.setPointSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(24, 96, 320, 70), Qt::AlignCenter, "Drivara\nEngineer mode");
    return image;
}

void CCoverDlg::reject()
{
    onSplashTimeout();
}

void CCoverDlg::onSplashTimeout()
{
    timer_.stop();
    ShellState& shell = Shell();
    if (shell.engineerMode == 1) {
        const int answer = platform::userPrompt().messageBox(
            kEngineerQuestion, "Using engineer mode?", platform::PromptButtons::YesNo,
            platform::PromptIcon::Error);
        if (answer != platform::PromptYes) {
            shell.engineerMode = 0;
            GlobalSettings::declineEngineerMode(shell.preferencePath());
            engineerPicture_ = false;
            showImage(coverFromFile());
            timer_.start(kAfterRefusalMs);
            return;
        }
    }
    accept();
}
