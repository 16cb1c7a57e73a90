#pragma once
// The connection dialog: off-line work, or a port and station (each chosen
// or searched automatically); it runs the search and, once a drive or
// off-line work is set up, closes. runConnectionStep() chains it with the
// model-selection and control-mode dialogs.

#include "link/ConnectionSearch.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

class CSetComPortDlg : public QDialog {
    Q_OBJECT
public:
    // Settings file (section "SetComPort") and, for a narrower address scan,
    // the highest station the automatic search asks (255 normally).
    explicit CSetComPortDlg(std::string iniPath, int lastScanAddress = 255, QWidget* parent = nullptr);

    // How the program ends when the user confirms leaving it (std::exit by default).
    static void setExitHandler(std::function<void(int)> handler);
    // The control-mode dialog that follows the model choice (nothing by
    // default). It returns false when the user cancelled it, which leads
    // back to a fresh connection dialog.
    static void setControlModeDialogHook(std::function<bool(QWidget*)> hook);
    // Connection dialog, then model selection, then the control-mode dialog;
    // cancelling either of the last two goes back to a fresh connection dialog.
    static void runConnectionStep(const std::string& iniPath, QWidget* parent = nullptr, int lastScanAddress = 255);

    QComboBox* portList() const { return portList_; }
    QComboBox* stationList() const { return stationList_; }
    QRadioButton* onlineOption() const { return online_; }
    QRadioButton* offlineOption() const { return offline_; }
    QCheckBox* saveAsDefault() const { return saveAsDefault_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* statusLine() const { return status_; }
    bool searching() const { return searching_; }

public slots:
    void onOk();
    void onCancel();
    // Escape and the close box are Cancel: ask before leaving, or stop a search.
    void reject() override;

private:
    bool showSearchProgress(const SearchProgress& progress);
    void explainFailure(const ConnectionSearch::Result& result);
    void setListsEnabled(bool enabled);

    std::string iniPath_;
    int lastScanAddress_;
    QRadioButton* online_;
    QRadioButton* offline_;
    QRadioButton* wizard_;
    QComboBox* portList_;
    QComboBox* stationList_;
    QProgressBar* progress_;
    QLabel* status_;
    QCheckBox* saveAsDefault_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool searching_ = false;
    bool stopRequested_ = false;
};
