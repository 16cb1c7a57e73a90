#include "wizard/ui/CVWizardView.h"

CVWizardView::CVWizardView(std::string workingDirectory, QWidget* parent, WizardDrive* drive)
    : CWizardDiagramView(WizardDiagram::Velocity, std::move(workingDirectory), parent, drive)
{
    setObjectName("CVWizardView");
}
