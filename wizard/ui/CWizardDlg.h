#pragma once
// A parameter wizard dialog, built from its row of the dialog table: it
// reads its parameters when it opens, shows them beside the help in edit
// boxes or option buttons, and on OK checks and writes them.

#include "wizard/WizardDialogSession.h"

#include <QDialog>
#include <vector>

class QButtonGroup;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

class CWizardDlg : public QDialog {
    Q_OBJECT
public:
    // `drive` defaults to the program's drive link.
    explicit CWizardDlg(WizardDialogId id, QWidget* parent = nullptr, WizardDrive* drive = nullptr);

    // Reads the parameters first; when a read fails the dialog says so (or
    // not, as its row says) and does not show.
    int exec() override;

    WizardDialogId dialogId() const { return dialog_.id; }
    const std::vector<QLineEdit*>& edits() const { return edits_; }
    std::vector<QRadioButton*> optionButtons() const;  // Options, or Pr.40 of the pulse input
    std::vector<QRadioButton*> typeButtons() const;    // the six pulse-input types
    QPushButton* okButton() const { return ok_; }

    // Opens the dialog of `id` modally over `parent`.
    static void run(WizardDialogId id, QWidget* parent);

private:
    void buildSection(QVBoxLayout* layout, const WizardSection& section, bool first, bool last);
    void addOptions(QVBoxLayout* layout, QButtonGroup* group, const std::vector<WizardOption>& options);
    QLayout* pulseTypes();
    void showValues();
    void confirm();

    const WizardDialogDescription& dialog_;
    WizardDialogSession session_;
    std::vector<QLineEdit*> edits_;
    QButtonGroup* options_ = nullptr;
    QButtonGroup* types_ = nullptr;
    QPushButton* ok_ = nullptr;
};
