#include "link/ui/CSetComPortDlg.h"

#include "texts/QtText.h"
#include "link/ConnectionSettings.h"
#include "link/DriveConnector.h"
#include "link/LinkPort.h"
#include "link/ui/CTypeSelDlg.h"
#include "platform/PortTable.h"
#include "platform/UserPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

// Status-line texts of the search (the dialog's own, shown beside the
// fixed messages).
const char* const kSearchingPort = "Searching %1 at %2 baud";
const char* const kAskingStation = "Searching %1 at %2 baud, ID %3";
const char* const kSearchStopped = "Search stopped.";
const char* const kStopSearch = "Stop";
const char* const kPermissionHint =
    "%1: permission denied. Add your user to the 'dialout' group and log in again.";
const char* const kPortBusy = "%1 is in use by another program.";

std::function<void(int)>& exitHandler()
{
    static std::function<void(int)> handler = [](int code) { std::exit(code); };
    return handler;
}

std::function<bool(QWidget*)>& controlModeHook()
{
    static std::function<bool(QWidget*)> hook;
    return hook;
}

QString portName(int port)
{
    return QString::fromStdString(platform::PortTable::displayName(port));
}

}  // namespace

CSetComPortDlg::CSetComPortDlg(std::string iniPath, int lastScanAddress, QWidget* parent)
    : QDialog(parent), iniPath_(std::move(iniPath)), lastScanAddress_(lastScanAddress),
      online_(new QRadioButton(LoadQText(206), this)), offline_(new QRadioButton(LoadQText(207), this)),
      wizard_(new QRadioButton(LoadQText(208), this)), portList_(new QComboBox(this)),
      stationList_(new QComboBox(this)), progress_(new QProgressBar(this)), status_(new QLabel(this)),
      saveAsDefault_(new QCheckBox(LoadQText(599), this)), ok_(new QPushButton(LoadQText(211), this)),
      cancel_(new QPushButton(LoadQText(212), this))
{
    setWindowTitle(LoadQText(213));
    // The guided setup is never offered.
    wizard_->hide();
    wizard_->setEnabled(false);

    portList_->addItem(LoadQText(209));
    for (int port = platform::PortTable::kFirstCom; port <= platform::PortTable::kLastCom; ++port)
        portList_->addItem(portName(port));
    stationList_->addItem(LoadQText(209));
    for (int id = 1; id < kStationRowCount; ++id)
        stationList_->addItem(QString::asprintf("ID %d", id));
    progress_->setRange(0, ConnectionSearch::kAutoSearchSteps);
    progress_->setValue(0);
    progress_->hide();
    status_->setWordWrap(true);

    auto* connection = new QGroupBox(LoadQText(203), this);
    auto* connectionLayout = new QVBoxLayout(connection);
    connectionLayout->addWidget(online_);
    connectionLayout->addWidget(offline_);
    connectionLayout->addWidget(wizard_);
    auto* ports = new QGroupBox(LoadQText(204), this);
    auto* portsLayout = new QVBoxLayout(ports);
    portsLayout->addWidget(portList_);
    portsLayout->addWidget(stationList_);
    portsLayout->addWidget(progress_);
    auto* prompt = new QGroupBox(LoadQText(205), this);
    auto* promptLayout = new QVBoxLayout(prompt);
    auto* description = new QLabel(LoadQText(210), prompt);
    description->setWordWrap(true);
    promptLayout->addWidget(description);
    promptLayout->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveAsDefault_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(connection);
    layout->addWidget(ports);
    layout->addWidget(prompt);
    layout->addLayout(buttons);

    const ConnectionSettings settings = ConnectionSettings::load(iniPath_);
    online_->setChecked(true);
    portList_->setCurrentIndex(settings.portRow);
    stationList_->setCurrentIndex(settings.stationRow);
    saveAsDefault_->setChecked(settings.saveAsDefault == 1);

    connect(online_, &QRadioButton::toggled, this, &CSetComPortDlg::setListsEnabled);
    connect(ok_, &QPushButton::clicked, this, &CSetComPortDlg::onOk);
    connect(cancel_, &QPushButton::clicked, this, &CSetComPortDlg::onCancel);
}

void CSetComPortDlg::setExitHandler(std::function<void(int)> handler)
{
    exitHandler() = handler ? std::move(handler) : [](int code) { std::exit(code); };
}

void CSetComPortDlg::setControlModeDialogHook(std::function<bool(QWidget*)> hook)
{
    controlModeHook() = std::move(hook);
}

void CSetComPortDlg::runConnectionStep(const std::string& iniPath, QWidget* parent, int lastScanAddress)
{
    for (;;) {
        CSetComPortDlg connection(iniPath, lastScanAddress, parent);
        if (connection.exec() != QDialog::Accepted)
            return;  // only when the exit handler let the program go on
        CTypeSelDlg model(parent);
        if (model.exec() != QDialog::Accepted)
            continue;
        if (!controlModeHook() || controlModeHook()(parent))
            return;
    }
}

void CSetComPortDlg::setListsEnabled(bool enabled)
{
    portList_->setEnabled(enabled);
    stationList_->setEnabled(enabled);
}

void CSetComPortDlg::onCancel()
{
    if (searching_) {
        stopRequested_ = true;  // the search ends at its next step
        return;
    }
    const int answer = platform::userPrompt().messageBox("You will leave the servo software.", "Warning",
                                                         platform::PromptButtons::OkCancel,
                                                         platform::PromptIcon::Warning);
    if (answer == platform::PromptOk) {
        exitHandler()(0);
        QDialog::reject();  // reached only when the handler lets the program go on
    }
}

void CSetComPortDlg::reject()
{
    onCancel();
}

bool CSetComPortDlg::showSearchProgress(const SearchProgress& progress)
{
    if (portList_->currentIndex() == 0)
        progress_->setValue(progress.step);
    const QString rate = QString::number(BaudRateOfIndex(progress.baudIndex));
    status_->setText(progress.address == 0
                         ? QString(kSearchingPort).arg(portName(progress.port), rate)
                         : QString(kAskingStation).arg(portName(progress.port), rate).arg(progress.address));
    QApplication::processEvents();
    return !stopRequested_;
}

void CSetComPortDlg::explainFailure(const ConnectionSearch::Result& result)
{
    if (result.refusedReason == platform::SerialError::PermissionDenied)
        status_->setText(QString(kPermissionHint).arg(portName(result.refusedPort)));
    else if (result.refusedReason == platform::SerialError::Busy)
        status_->setText(QString(kPortBusy).arg(portName(result.refusedPort)));
    else
        status_->clear();
}

void CSetComPortDlg::onOk()
{
    if (searching_)
        return;
    ConnectRequest request;
    request.offline = offline_->isChecked();
    request.portRow = portList_->currentIndex();
    request.stationRow = stationList_->currentIndex();
    request.saveAsDefault = saveAsDefault_->isChecked();

    DriveConnector connector(iniPath_);
    connector.setLastScanAddress(lastScanAddress_);
    connector.setProgress([this](const SearchProgress& p) { return showSearchProgress(p); });

    searching_ = true;
    stopRequested_ = false;
    ok_->setEnabled(false);
    // Cancel stays usable: during the search it stops the search.
    cancel_->setText(kStopSearch);
    if (request.portRow == 0 && !request.offline) {
        progress_->setValue(0);
        progress_->show();
    }
    DriveConnector::Outcome outcome;
    {
        platform::WaitCursor wait;
        outcome = connector.connect(request);
    }
    searching_ = false;
    cancel_->setText(LoadQText(212));
    ok_->setEnabled(true);
    progress_->hide();

    switch (outcome) {
    case DriveConnector::Outcome::Offline:
    case DriveConnector::Outcome::Connected:
        status_->clear();
        accept();
        break;
    case DriveConnector::Outcome::Cancelled:
        status_->setText(kSearchStopped);
        break;
    case DriveConnector::Outcome::Failed:
        explainFailure(connector.searchResult());
        break;
    }
}
