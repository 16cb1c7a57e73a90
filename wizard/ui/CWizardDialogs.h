#pragma once
// The parameter wizard dialogs by name, each named after the (first)
// parameter it edits: CWizard11Dlg edits Pr.11. Every one is the dialog
// built from its row of the table.

#include "wizard/ui/CWizardDlg.h"

template <WizardDialogId Id>
class CWizardDlgOf : public CWizardDlg {
public:
    explicit CWizardDlgOf(QWidget* parent = nullptr, WizardDrive* drive = nullptr)
        : CWizardDlg(Id, parent, drive)
    {
    }
};

using CWizard05Dlg = CWizardDlgOf<WizardDialogId::Wizard05>;
using CWizard06Dlg = CWizardDlgOf<WizardDialogId::Wizard06>;
using CWizard10Dlg = CWizardDlgOf<WizardDialogId::Wizard10>;
using CWizard11Dlg = CWizardDlgOf<WizardDialogId::Wizard11>;
using CWizard12Dlg = CWizardDlgOf<WizardDialogId::Wizard12>;
using CWizard13Dlg = CWizardDlgOf<WizardDialogId::Wizard13>;
using CWizard14Dlg = CWizardDlgOf<WizardDialogId::Wizard14>;
using CWizard15Dlg = CWizardDlgOf<WizardDialogId::Wizard15>;
using CWizard1DDlg = CWizardDlgOf<WizardDialogId::Wizard1D>;
using CWizard1EDlg = CWizardDlgOf<WizardDialogId::Wizard1E>;
using CWizard20Dlg = CWizardDlgOf<WizardDialogId::Wizard20>;
using CWizard28Dlg = CWizardDlgOf<WizardDialogId::Wizard28>;
using CWizard29Dlg = CWizardDlgOf<WizardDialogId::Wizard29>;
using CWizard2ADlg = CWizardDlgOf<WizardDialogId::Wizard2A>;
using CWizard40Dlg = CWizardDlgOf<WizardDialogId::Wizard40>;
using CWizard44Dlg = CWizardDlgOf<WizardDialogId::Wizard44>;
using CWizard45Dlg = CWizardDlgOf<WizardDialogId::Wizard45>;
using CWizard46Dlg = CWizardDlgOf<WizardDialogId::Wizard46>;
using CWizard48Dlg = CWizardDlgOf<WizardDialogId::Wizard48>;
using CWizard4CDlg = CWizardDlgOf<WizardDialogId::Wizard4C>;
using CWizard4EDlg = CWizardDlgOf<WizardDialogId::Wizard4E>;
using CWizard50Dlg = CWizardDlgOf<WizardDialogId::Wizard50>;
using CWizard51Dlg = CWizardDlgOf<WizardDialogId::Wizard51>;
using CWizard52Dlg = CWizardDlgOf<WizardDialogId::Wizard52>;
using CWizard53Dlg = CWizardDlgOf<WizardDialogId::Wizard53>;
using CWizard56Dlg = CWizardDlgOf<WizardDialogId::Wizard56>;
using CWizard58Dlg = CWizardDlgOf<WizardDialogId::Wizard58>;
using CWizard5CDlg = CWizardDlgOf<WizardDialogId::Wizard5C>;
using CWizard5DDlg = CWizardDlgOf<WizardDialogId::Wizard5D>;
