#include "link/ui/CTypeSelDlg.h"

#include "tables/DriveModelTable.h"
#include "tables/DriveType.h"
#include "tables/ModelSelectionList.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"
#include "link/DriveIdentification.h"
#include "link/LinkState.h"
#include "platform/UserPrompt.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
void showError(const std::string& message)
{
    platform::userPrompt().messageBox(message, "Error", platform::PromptButtons::Ok, platform::PromptIcon::Error);
}

// Drive type of a drive that does not answer: the most common model.
constexpr int kFallbackVrGroup = 11;  // "Vr_007"
}  // namespace

CTypeSelDlg::CTypeSelDlg(QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), ok_(new QPushButton(LoadQText(211), this)),
      cancel_(new QPushButton(LoadQText(212), this))
{
    setWindowTitle(LoadQText(229));
    list_->setObjectName("modelList");
    ok_->setObjectName("ok");
    cancel_->setObjectName("cancel");
    for (int row = 0; row < kModelSelectionRowCount; ++row)
        list_->addItem(QString::fromStdString(ModelSelectionRowName(row)));
    list_->setCurrentRow(kPreselectedModelRow);

    auto* options = new QGroupBox(LoadQText(230), this);
    (new QVBoxLayout(options))->addWidget(list_);
    auto* prompt = new QGroupBox(LoadQText(231), this);
    auto* promptText = new QLabel(LoadQText(232), prompt);
    promptText->setWordWrap(true);
    (new QVBoxLayout(prompt))->addWidget(promptText);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addWidget(prompt);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &CTypeSelDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CTypeSelDlg::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CTypeSelDlg::accept);
}

int CTypeSelDlg::exec()
{
    closedByIdentification_ = false;
    if (linkState().online == 1 && identifyConnectedDrive()) {
        closedByIdentification_ = true;
        setResult(QDialog::Accepted);
        return QDialog::Accepted;
    }
    return QDialog::exec();
}

bool CTypeSelDlg::identifyConnectedDrive()
{
    DriveType& type = CurrentDriveType();
    const DriveIdentity identity = IdentifyDrive(linkState().slaveAddress);
    if (!identity.answered) {
        showError(kGetIdErrorText);
        type.setModel(FamilyVr, kFallbackVrGroup);
        type.driveClass = DriveClassOfGroup(kFallbackVrGroup);
        type.unlistedModel = 0;
        return true;
    }
    if (SelectionRowOfModel(identity.family, identity.group) != kNoModelRowChosen) {
        type.setModel(identity.family, identity.group);
        type.driveClass = DriveClassOfModel(identity.family, identity.group);
        type.unlistedModel = 0;
        return true;
    }
    type.unlistedModel = 1;
    showError(LoadText(233));
    return false;
}

void CTypeSelDlg::accept()
{
    ApplyModelSelection(CurrentDriveType(), list_->currentRow());
    QDialog::accept();
}
