#pragma once
// The questions that follow the connection step: the page mode, and off
// line where the page starts from (a saved file, chosen next, or the
// factory values). Cancel walks back one question.

class QWidget;

// False when the user cancelled the first question: the connection
// settings come next again.
bool RunControlModeChoice(QWidget* parent);
