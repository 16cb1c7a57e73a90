#include "param/ui/CSOModeDlg.h"

#include "param/PageMode.h"
#include "param/PageModeChoice.h"
#include "platform/UserPrompt.h"
#include "tables/DriveModelTable.h"
#include "tables/DriveType.h"
#include "texts/QtText.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CSOModeDlg::CSOModeDlg(QWidget* parent)
    : QDialog(parent), ok_(new QPushButton(LoadQText(211), this)), cancel_(new QPushButton(LoadQText(212), this))
{
    setObjectName("CSOModeDlg");
    setWindowTitle(LoadQText(222));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(this);
    auto* groupLayout = new QVBoxLayout(group);
    for (int mode = PageModeParameter; mode <= PageModeTorque; ++mode) {
        options_[mode - 1] = new QRadioButton(LoadQText(PageModeNameTextId(mode)), group);
        groupLayout->addWidget(options_[mode - 1]);
    }
    options_[0]->setChecked(true);
    layout->addWidget(group);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CSOModeDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CSOModeDlg::reject);
}

QRadioButton* CSOModeDlg::modeOption(int pageMode) const
{
    return IsPageMode(pageMode) ? options_[pageMode - 1] : nullptr;
}

int CSOModeDlg::exec()
{
    decidedWithoutAsking_ = CurrentDriveType().family == FamilyZt;
    if (decidedWithoutAsking_) {
        CurrentPageModeChoice().pageMode = PageModePosition;
        return QDialog::Accepted;
    }
    return QDialog::exec();
}

void CSOModeDlg::accept()
{
    for (int mode = PageModeParameter; mode <= PageModeTorque; ++mode) {
        if (options_[mode - 1]->isChecked()) {
            CurrentPageModeChoice().pageMode = mode;
            QDialog::accept();
            return;
        }
    }
    platform::userPrompt().messageBox("System get SOMode data error!", "Error", platform::PromptButtons::Ok,
                                      platform::PromptIcon::Error);
    QDialog::accept();
}
