#pragma once
// A block-diagram view: the diagram's picture with a button over each
// parameter box; a click opens that parameter's wizard dialog. The picture
// and the buttons shown follow the drive class (and Pr.5B for torque), read
// when the view is first shown.

#include "wizard/DiagramSetup.h"

#include <QWidget>
#include <map>
#include <string>

class QLabel;
class QPushButton;

class CWizardDiagramView : public QWidget {
    Q_OBJECT
public:
    // `drive` defaults to the program's drive link.
    CWizardDiagramView(WizardDiagram diagram, std::string workingDirectory, QWidget* parent = nullptr,
                       WizardDrive* drive = nullptr);

    WizardDiagram diagram() const { return diagram_; }
    const DiagramSetup& setup() const { return setup_; }
    QLabel* picture() const { return picture_; }
    // The button of a parameter box; nullptr when this diagram has none.
    QPushButton* parameterButton(int controlId) const;
    QPushButton* cancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void open();
    void placeButtons(const DiagramLayout& layout);
    void loadPicture();
    void closeWindow();

    WizardDiagram diagram_;
    std::string workingDirectory_;
    WizardDrive& drive_;
    DiagramSetup setup_;
    bool opened_ = false;
    QLabel* picture_;
    QPushButton* cancel_;
    std::map<int, QPushButton*> buttons_;
};
