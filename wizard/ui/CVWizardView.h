#pragma once
// The block diagram of velocity control.

#include "wizard/ui/CWizardDiagramView.h"

class CVWizardView : public CWizardDiagramView {
    Q_OBJECT
public:
    explicit CVWizardView(std::string workingDirectory, QWidget* parent = nullptr, WizardDrive* drive = nullptr);
};
