// read-params and write-params: a drive's parameters into a parameter-set
// file and back, with the parameter page's rules (page mode by extension,
// model check and conversion, Pr.1F correction, EEPROM commit).

#include "cli/CliCommands.h"
#include "cli/CliExit.h"
#include "cli/CliPage.h"
#include "cli/CliTexts.h"
#include "cli/ConsolePrompt.h"
#include "cli/DriveSession.h"
#include "param/LimitedTextFile.h"
#include "param/PageDriveCommands.h"
#include "param/PageFiles.h"
#include "param/PageMode.h"
#include "texts/LoadText.h"

namespace {

void describePage(const CliPage& built, const std::string& path, CommandOutput& output)
{
    const ParameterPage& page = *built.page;
    output.data.set("file", path);
    output.data.set("model", page.modelName());
    output.data.set("pageMode", LoadText(PageModeNameTextId(page.pageMode())));
    output.data.set("parameters", page.rowCount());
}

// The page mode of a parameter-set file's name; 0 after telling the user.
int pageModeOrFail(const CliContext& context, const std::string& path, int& exitCode)
{
    const int mode = PageModeOfPath(path);
    if (mode == 0)
        exitCode = context.fail(kExitUsage, path + LoadText(kTextNeedsPageExtension));
    return mode;
}

// Reads and parses the file before the drive is touched, so a file that
// cannot be used costs no connection. The model check needs the drive and
// follows when the page loads it.
int checkFileBeforeConnecting(const CliContext& context, const std::string& path)
{
    std::string text;
    const TextFileStatus status = ReadLimitedTextFile(path, text);
    if (status != TextFileStatus::Ok)
        return context.fail(kExitUsage, TextFileProblemText(status, path));
    ParameterFileContent content;
    const ParameterFileParse parse = ParseParameterFile(text, content);
    if (!parse.ok())
        return context.fail(kExitUsage, ParameterFileProblemText(parse, path));
    return kExitOk;
}

// A command the page asked about and --yes did not confirm is a usage
// matter; anything else that stopped it is the drive's.
int pageCommandFailed(const CliContext& context, unsigned what, const CliPageHost& host)
{
    if (context.prompt.declined())
        return context.fail(kExitUsage, LoadText(kTextNotConfirmed));
    std::string text = LoadText(what);
    if (!host.status().empty())
        text += ": " + host.status();
    return context.fail(kExitDriveFailure, text);
}

}  // namespace

int RunReadParams(CliContext& context, CommandOutput& output)
{
    const std::string& path = context.line.arguments.at(0);
    int exitCode = kExitOk;
    const int mode = pageModeOrFail(context, path, exitCode);
    if (mode == 0)
        return exitCode;
    DriveSession session(context);
    if (const int code = session.connectWithModel())
        return code;

    CliPageHost host(context, LoadText(kTextReadingParameters));
    const CliPage built = BuildCliPage(context, session.drive(), mode, true, host);
    if (!built.systemInitLoaded)
        context.warn(MissingSystemInitText(context, built) + ": " + LoadText(kTextFileWithoutTexts));
    if (!ReadAllParameters(*built.page, host))
        return context.fail(kExitDriveFailure, LoadText(kTextReadFailed));
    if (!SavePageFile(*built.page, path, host))
        return context.fail(kExitUsage, path + LoadText(kTextFileNotWritten));

    describePage(built, path, output);
    output.data.set("texts", built.systemInitLoaded);
    output.lines.push_back(path + ": " + std::to_string(built.page->rowCount()) + LoadText(kTextParametersOf) +
                           built.page->modelName() + " (" + LoadText(PageModeNameTextId(mode)) + ")");
    return kExitOk;
}

int RunWriteParams(CliContext& context, CommandOutput& output)
{
    const std::string& path = context.line.arguments.at(0);
    int exitCode = kExitOk;
    const int mode = pageModeOrFail(context, path, exitCode);
    if (mode == 0)
        return exitCode;
    if (const int code = checkFileBeforeConnecting(context, path))
        return code;
    DriveSession session(context);
    if (const int code = session.connectWithModel())
        return code;

    CliPageHost host(context, LoadText(kTextLoadingFile));
    CliPage built = BuildCliPage(context, session.drive(), mode, false, host);
    ParameterPage& page = *built.page;
    // The file's own texts go with its values: should the page write the
    // file back (a corrected Pr.1F), it keeps what the file held.
    if (!LoadPageFile(page, path, LoadSource::UserFile, LoadColumns::all(), host))
        return context.fail(kExitUsage, path + LoadText(kTextFileNotLoaded));
    host.setLabel(LoadText(kTextWritingParameters));
    if (!TransferPage(page, host))
        return pageCommandFailed(context, kTextWriteFailed, host);
    const bool eeprom = context.line.has("eeprom");
    if (eeprom) {
        host.setLabel(LoadText(kTextSavingEeprom));
        if (!SavePageToEeprom(page, host))
            return pageCommandFailed(context, kTextEepromFailed, host);
    }

    describePage(built, path, output);
    output.data.set("eeprom", eeprom);
    output.lines.push_back(path + ": " + std::to_string(page.rowCount()) + LoadText(kTextParametersWrittenTo) +
                           page.modelName() + (eeprom ? LoadText(kTextAndSavedToEeprom) : std::string()));
    return kExitOk;
}
