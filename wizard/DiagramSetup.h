#pragma once
// What a block diagram shows when it opens: which picture, which layout and
// which parameter buttons are hidden, chosen by the drive class and, for the
// torque diagram, by Pr.5B (where the torque command comes in).

#include "wizard/DiagramLayout.h"
#include "wizard/WizardDrive.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DiagramSetup {
    std::string picture;       // under the working directory; empty: no picture
    bool torquePin16 = false;  // the torque layout with the command at Pin 16
    std::vector<int> hiddenButtons;
    std::string errorMessage;  // to show with the caption "Error"; empty: none
};

// The setup for a drive class; `pr5b` is the value read for the torque
// diagram, or nothing when that read failed.
DiagramSetup PrepareDiagram(WizardDiagram diagram, int driveClass, std::optional<uint16_t> pr5b);
// Reads Pr.5B from the drive for the torque diagram, then prepares it.
DiagramSetup OpenDiagram(WizardDiagram diagram, int driveClass, WizardDrive& drive);

// The picture of a diagram for the early drive classes (0 and 1) or the
// later ones, and for torque with the command at Pin 16 or Pin 14.
std::string DiagramPictureFile(WizardDiagram diagram, bool earlyClass, bool torquePin16 = false);

// Where a picture lies: under the working directory (the current one when
// that is empty).
std::string PictureFullPath(const std::string& workingDirectory, const std::string& picture);
// The message for a picture that could not be loaded.
std::string PictureLoadFailureText(const std::string& workingDirectory, const std::string& picture);

constexpr uint8_t kTorqueCommandInput = 0x5B;  // Pr.5B: 0 Pin 14, otherwise Pin 16
