#include "wizard/ui/CTWizardView.h"

CTWizardView::CTWizardView(std::string workingDirectory, QWidget* parent, WizardDrive* drive)
    : CWizardDiagramView(WizardDiagram::Torque, std::move(workingDirectory), parent, drive)
{
    setObjectName("CTWizardView");
}
