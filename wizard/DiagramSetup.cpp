#include "wizard/DiagramSetup.h"

#include <iterator>

namespace {

const int kSecondNotchButtons[] = {2194, 2195, 2188};
constexpr int kSpeedLimitButton = 2131;

bool isEarlyClass(int driveClass)
{
    return driveClass == 0 || driveClass == 1;
}

}  // namespace

std::string DiagramPictureFile(WizardDiagram diagram, bool earlyClass, bool torquePin16)
{
    const char* stem = "PCBDD";
    if (diagram == WizardDiagram::Velocity)
        stem = "Velocity";
    else if (diagram == WizardDiagram::Torque)
        stem = torquePin16 ? "TorquePin16" : "TorquePin14";
    return std::string("Images/") + stem + (earlyClass ? "_BackgrandII.bmp" : "_Backgrand007.bmp");
}

DiagramSetup PrepareDiagram(WizardDiagram diagram, int driveClass, std::optional<uint16_t> pr5b)
{
    DiagramSetup setup;
    const bool early = isEarlyClass(driveClass);
    if (early)
        setup.hiddenButtons.assign(std::begin(kSecondNotchButtons), std::end(kSecondNotchButtons));
    switch (diagram) {
    case WizardDiagram::Position:
        setup.picture = DiagramPictureFile(diagram, early);
        return setup;
    case WizardDiagram::Velocity:
        setup.picture = DiagramPictureFile(diagram, early);
        return setup;
    case WizardDiagram::Torque:
        break;
    }
    if (!pr5b) {
        // The buttons still work; without Pr.5B the speed-limit box stays.
        setup.errorMessage = "Get Pr5B Error!";
        return setup;
    }
    const uint16_t input = *pr5b;
    if (input == 0) {
        setup.picture = DiagramPictureFile(diagram, early, false);
        return setup;
    }
    if (early && input != 1)
        return setup;  // no picture for this input on an early drive, and no message
    setup.picture = DiagramPictureFile(diagram, early, true);
    setup.torquePin16 = true;
    setup.hiddenButtons.push_back(kSpeedLimitButton);
    return setup;
}

DiagramSetup OpenDiagram(WizardDiagram diagram, int driveClass, WizardDrive& drive)
{
    if (diagram != WizardDiagram::Torque)
        return PrepareDiagram(diagram, driveClass, std::nullopt);
    uint16_t value = 0;
    if (drive.readParameter(kTorqueCommandInput, value) != 1)
        return PrepareDiagram(diagram, driveClass, std::nullopt);
    return PrepareDiagram(diagram, driveClass, value);
}

std::string PictureFullPath(const std::string& workingDirectory, const std::string& picture)
{
    if (workingDirectory.empty() || workingDirectory.back() == '/')
        return workingDirectory + picture;
    return workingDirectory + "/" + picture;
}

std::string PictureLoadFailureText(const std::string& workingDirectory, const std::string& picture)
{
    return "Failed to load image file: \n" + PictureFullPath(workingDirectory, picture);
}
