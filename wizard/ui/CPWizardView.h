#pragma once
// The block diagram of position control.

#include "wizard/ui/CWizardDiagramView.h"

class CPWizardView : public CWizardDiagramView {
    Q_OBJECT
public:
    explicit CPWizardView(std::string workingDirectory, QWidget* parent = nullptr, WizardDrive* drive = nullptr);
};
