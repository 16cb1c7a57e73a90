#pragma once
// Where the boxes of each block diagram stand and where their parameter
// buttons lie over them. The pictures are drawn from this layout and the
// views place their buttons by it, so the two cannot drift apart.

#include "wizard/WizardDialogTable.h"

#include <string>
#include <vector>

enum class WizardDiagram { Position, Velocity, Torque };

struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
    bool contains(const LayoutRect& other) const;
    bool intersects(const LayoutRect& other) const;
};

// A box of the diagram that holds parameter buttons.
struct DiagramBox {
    std::string key;      // names the box for the drawing's wires
    std::string caption;  // drawn in the box, above its buttons
    LayoutRect rect;
    std::vector<int> buttons;  // control ids, left to right
};

struct DiagramButton {
    int controlId;
    WizardDialogId dialog;
    LayoutRect rect;
    std::string label;  // "Pr.11", "Pr.46/4B"
};

struct DiagramLayout {
    int width = 0;
    int height = 0;
    std::vector<DiagramBox> boxes;
    std::vector<DiagramButton> buttons;
    LayoutRect cancel;  // the Cancel command, in a corner the drawing leaves free

    const DiagramBox* box(const std::string& key) const;
    const DiagramButton* button(int controlId) const;
};

// The layout of a diagram. Torque has two: the torque command at Pin 14
// (Pr.5B = 0) and at Pin 16 (any other Pr.5B).
const DiagramLayout& LayoutOf(WizardDiagram diagram, bool torquePin16 = false);

// The dialog each parameter button opens.
WizardDialogId DialogOfButton(int controlId);
// The text of a parameter button: "Pr." and the dialog's parameters.
std::string ParameterButtonLabel(WizardDialogId dialog);
