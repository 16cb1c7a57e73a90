#include "param/PageOpening.h"

#include "link/LinkState.h"
#include "param/DriveParameterReader.h"
#include "param/ModelFiles.h"
#include "param/PageDriveCommands.h"
#include "param/PageFiles.h"
#include "param/PageHost.h"
#include "param/PageModeChoice.h"
#include "param/ParameterReference.h"
#include "platform/UserPrompt.h"
#include "tables/DriveModelTable.h"
#include "texts/LoadText.h"


OpenedPage OpenParameterPage(const ParamEnvironment& environment, const DriveType& drive,
                             const PageModeChoice& choice, PageHost& host)
{
    platform::WaitCursor wait;
    const std::string somPath = SystemInitPath(environment.workingDirectory, drive);
    if (somPath.empty())
        platform::showError(kDriverTypeErrorText);
    const ParameterFlagsTable flags = somPath.empty() ? ParameterFlagsTable() : ReadParameterFlags(somPath);

    OpenedPage opened;
    opened.page = std::make_unique<ParameterPage>(drive, choice.pageMode, flags, environment);
    ParameterPage& page = *opened.page;
    if (page.typeError())
        platform::showError("Type Error!");
    ShowHelpBlock(page, drive.family == FamilyVr ? 2 : 1, host);
    LoadPageFile(page, somPath, LoadSource::SystemInit, LoadColumns::all(), host);

    if (linkState().online != 1) {
        if (choice.offlineSource == OfflineStartFile && !choice.offlineFile.empty())
            LoadPageFile(page, choice.offlineFile, LoadSource::OfflineStart, LoadColumns::valuesOnly(), host);
        else
            LoadPageFile(page, somPath, LoadSource::SystemInit, LoadColumns::valuesOnly(), host);
        host.setStatus(LoadText(321));
        return opened;
    }
    if (!ReadAllParameters(page, host)) {
        host.setStatus(LoadText(319));
        return opened;
    }
    opened.driveCommandsAvailable = true;
    int16_t controlMode = 0;
    if (!ReadDriveRegister(kControlModeParameter, controlMode)) {
        platform::showError(LoadText(318));
        host.setStatus(LoadText(319));
    }
    host.setStatus(LoadText(320));
    return opened;
}

void ShowHelpBlock(const ParameterPage& page, int block, PageHost& host)
{
    host.setDescription(std::string(), false);
    const std::string path = ParameterReferencePath(page.environment().workingDirectory, page.drive());
    const HelpBlock help = ReadHelpBlock(path, block);
    if (help.status == HelpBlockStatus::FileProblem &&
        (help.fileStatus == TextFileStatus::Missing || help.fileStatus == TextFileStatus::Unreadable)) {
        platform::showError("2.Open File Error !");
        return;
    }
    if (help.status != HelpBlockStatus::Ok && help.status != HelpBlockStatus::NoBlock) {
        platform::showError(HelpBlockProblemText(help, path, block));
        return;
    }
    host.setDescription(help.text, false);
}

void ShowRowHelp(const ParameterPage& page, int rowIndex, PageHost& host)
{
    if (rowIndex < 0 || rowIndex >= page.rowCount() || !page.row(rowIndex).hasValue)
        return;
    const int p = page.row(rowIndex).parameter;
    ShowHelpBlock(page, p + 1, host);
    host.setStatus(LoadText(page.restartMarked(p) ? 349 : 348));
}
