#include "wizard/ui/CPWizardView.h"

CPWizardView::CPWizardView(std::string workingDirectory, QWidget* parent, WizardDrive* drive)
    : CWizardDiagramView(WizardDiagram::Position, std::move(workingDirectory), parent, drive)
{
    setObjectName("CPWizardView");
}
