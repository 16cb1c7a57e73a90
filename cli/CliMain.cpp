#include "cli/CliMain.h"

#include "app/GlobalSettings.h"
#include "cli/CliCommands.h"
#include "cli/CliExit.h"
#include "cli/CliTexts.h"
#include "cli/ConsolePrompt.h"
#include "cli/DataFolders.h"
#include "cli/ProgressDisplay.h"
#include "platform/PortTable.h"
#include "texts/LoadText.h"

#include <ostream>

namespace {

const char kSettingsFile[] = "Preference.ini";
const char kLanguageFile[] = "Language.lng";

// Installs the console prompt for the life of a command and puts the
// previous one back.
class PromptInstallation {
public:
    explicit PromptInstallation(platform::UserPrompt& prompt) { platform::setUserPrompt(&prompt); }
    ~PromptInstallation() { platform::setUserPrompt(nullptr); }
};

}  // namespace

CliCommandFunction FindCommandFunction(const std::string& name)
{
    static const struct {
        const char* name;
        CliCommandFunction run;
    } kCommands[] = {
        {"ports", RunPorts},   {"identify", RunIdentify}, {"read-params", RunReadParams},
        {"write-params", RunWriteParams}, {"get", RunGet}, {"set", RunSet},
        {"scope", RunScope},   {"alarms", RunAlarms},     {"io", RunIo},
        {"compare", RunCompare},
    };
    for (const auto& command : kCommands)
        if (name == command.name)
            return command.run;
    return nullptr;
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const std::atomic<bool>* interrupted)
{
    CommandLine line;
    std::string error;
    const bool parsed = ParseCommandLine(arguments, line, error);

    const std::vector<std::string> folders = DataFolders(line.value("data-dir"), CurrentFolder(), ProgramFolder());
    const std::string languagePath = FindDataFile(folders, kLanguageFile);
    if (!languagePath.empty())
        LoadLanguageFile(languagePath);

    if (!parsed) {
        err << "drivara-cli: " << error << "\n" << LoadText(kTextSeeHelp) << "\n";
        return kExitUsage;
    }
    const CommandShape* command = FindCliCommand(line.command);
    if (line.help) {
        out << (command ? CommandHelp(*command) : GeneralHelp());
        return kExitOk;
    }
    const CliCommandFunction run = FindCommandFunction(line.command);
    if (!run) {
        err << "drivara-cli: " << LoadText(kTextUnknownCommand) << line.command << "\n";
        return kExitUsage;
    }

    ProgressDisplay progress(err, ProgressDisplay::standardErrorIsTerminal());
    ConsolePrompt prompt(err, line.has("yes"));
    prompt.setBeforePrint([&progress] { progress.clear(); });
    const PromptInstallation installed(prompt);

    CliContext context(line, prompt, progress, err);
    context.dataFolders = folders;
    context.settingsPath = FindDataFile(folders, kSettingsFile);
    context.interrupted = interrupted;
    if (!context.settingsPath.empty()) {
        const GlobalSettings settings = GlobalSettings::read(context.settingsPath);
        context.repairPr1F = settings.repairPr1F != 0;
        context.ioIntervalMs = settings.ioMonitorIntervalMs;
        // COM numbers may be mapped to devices in the same file.
        platform::PortTable::loadFromIni(context.settingsPath);
    }

    CommandOutput output;
    const int code = run(context, output);
    progress.clear();
    if (code == kExitOk || code == kExitDiffers)
        WriteCommandOutput(output, context.json(), out);
    out.flush();
    return code;
}
