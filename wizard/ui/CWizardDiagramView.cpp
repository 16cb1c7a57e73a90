#include "wizard/ui/CWizardDiagramView.h"

#include "platform/UserPrompt.h"
#include "tables/DriveType.h"
#include "texts/LoadText.h"
#include "wizard/LinkWizardDrive.h"
#include "wizard/ui/CWizardDlg.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <algorithm>

namespace {
constexpr unsigned kCancelText = 212;
}  // namespace

CWizardDiagramView::CWizardDiagramView(WizardDiagram diagram, std::string workingDirectory, QWidget* parent,
                                       WizardDrive* drive)
    : QWidget(parent), diagram_(diagram), workingDirectory_(std::move(workingDirectory)),
      drive_(drive ? *drive : LinkDrive()), picture_(new QLabel(this)), cancel_(new QPushButton(this))
{
    const DiagramLayout& layout = LayoutOf(diagram_);
    setFixedSize(layout.width, layout.height);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    picture_->setObjectName("diagramPicture");
    picture_->setGeometry(0, 0, layout.width, layout.height);
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cancel_->setObjectName("cancelButton");
    cancel_->setText(QString::fromStdString(LoadText(kCancelText)));
    cancel_->setGeometry(layout.cancel.x, layout.cancel.y, layout.cancel.width, layout.cancel.height);
    connect(cancel_, &QPushButton::clicked, this, &CWizardDiagramView::closeWindow);
}

QPushButton* CWizardDiagramView::parameterButton(int controlId) const
{
    const auto found = buttons_.find(controlId);
    return found == buttons_.end() ? nullptr : found->second;
}

void CWizardDiagramView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!opened_) {
        opened_ = true;
        open();
    }
}

void CWizardDiagramView::open()
{
    // The frame takes the size of the form.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->adjustSize();
    {
        platform::WaitCursor wait;
        setup_ = OpenDiagram(diagram_, CurrentDriveType().driveClass, drive_);
    }
    if (!setup_.errorMessage.empty())
        platform::userPrompt().messageBox(setup_.errorMessage, "Error");
    placeButtons(LayoutOf(diagram_, setup_.torquePin16));
    loadPicture();
}

void CWizardDiagramView::placeButtons(const DiagramLayout& layout)
{
    QFont font = this->font();
    font.setBold(true);
    for (const DiagramButton& entry : layout.buttons) {
        auto* button = new QPushButton(QString::fromStdString(entry.label), this);
        button->setObjectName(QString("button%1").arg(entry.controlId));
        button->setFont(font);
        button->setCursor(Qt::PointingHandCursor);
        button->setGeometry(entry.rect.x, entry.rect.y, entry.rect.width, entry.rect.height);
        const WizardSection& section = WizardDialogOf(entry.dialog).sections.front();
        button->setToolTip(QString::fromStdString(LoadText(section.titleTextId)));
        const WizardDialogId dialog = entry.dialog;
        connect(button, &QPushButton::clicked, this, [this, dialog] { CWizardDlg::run(dialog, this); });
        buttons_[entry.controlId] = button;
    }
    for (auto& [id, button] : buttons_) {
        const auto& hidden = setup_.hiddenButtons;
        button->setVisible(std::find(hidden.begin(), hidden.end(), id) == hidden.end());
    }
}

void CWizardDiagramView::loadPicture()
{
    if (setup_.picture.empty())
        return;
    const std::string path = PictureFullPath(workingDirectory_, setup_.picture);
    const QImage image(QString::fromStdString(path));
    if (image.isNull()) {
        platform::userPrompt().messageBox(PictureLoadFailureText(workingDirectory_, setup_.picture), "Error");
        return;
    }
    picture_->setPixmap(QPixmap::fromImage(image));
    picture_->resize(image.size());
}

void CWizardDiagramView::closeWindow()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}
