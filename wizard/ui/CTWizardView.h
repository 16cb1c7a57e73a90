#pragma once
// The block diagram of torque control.

#include "wizard/ui/CWizardDiagramView.h"

class CTWizardView : public CWizardDiagramView {
    Q_OBJECT
public:
    explicit CTWizardView(std::string workingDirectory, QWidget* parent = nullptr, WizardDrive* drive = nullptr);
};
