#pragma once
// Opening the parameter page, and the help text of the selected row.

#include "param/ParamEnvironment.h"
#include "param/ParameterPage.h"

#include <memory>

class PageHost;
struct PageModeChoice;

struct OpenedPage {
    std::unique_ptr<ParameterPage> page;
    // Off line, or when the drive could not be read: Transfer, EEPROM save,
    // factory reset and Read stay disabled.
    bool driveCommandsAvailable = false;
};

// Builds the page of the current drive model in the chosen page mode, fills
// it from the model's system-initialisation file, then from the off-line
// start file (off line) or from the drive (on line).
OpenedPage OpenParameterPage(const ParamEnvironment& environment, const DriveType& drive,
                             const PageModeChoice& choice, PageHost& host);

// Shows help block `block` of the model's reference file in the
// description label (empty when the file has no such block).
void ShowHelpBlock(const ParameterPage& page, int block, PageHost& host);
// The selection help: the row's help block and whether it needs a restart.
void ShowRowHelp(const ParameterPage& page, int rowIndex, PageHost& host);
