#pragma once
// Draws the block diagrams of the wizards from their layouts, and the
// pulse forms beside the pulse-input types: our own pictures, built rather
// than kept as files.

#include "wizard/DiagramLayout.h"

#include <QImage>

// The picture of a diagram for the early drive classes (0 and 1: one notch
// filter) or the later ones, and for torque with the command at Pin 16.
QImage DrawDiagram(WizardDiagram diagram, bool earlyClass, bool torquePin16 = false);

// The pulse forms of the command pulse input: one row per type (0 to 5,
// "Type 1" to "Type 6"), under a heading that names the two directions.
QImage DrawPulseFormsHeading();
QImage DrawPulseForm(int type);
