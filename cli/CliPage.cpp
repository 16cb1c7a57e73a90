#include "cli/CliPage.h"

#include "cli/CliTexts.h"
#include "cli/DataFolders.h"
#include "cli/ProgressDisplay.h"
#include "link/CommandWait.h"
#include "param/ModelFiles.h"
#include "param/PageFiles.h"
#include "param/PageMode.h"
#include "param/ParameterFlags.h"
#include "platform/Ticks.h"
#include "texts/LoadText.h"

#include <cctype>

void CliPageHost::setProgressRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = maximum;
}

void CliPageHost::setProgress(int position)
{
    if (position <= minimum_ || maximum_ <= minimum_) {
        context_.progress.clear();
        return;
    }
    context_.progress.show(label_, position - minimum_, maximum_ - minimum_);
}

bool CliPageHost::askValue(int, const std::string&, int32_t, int32_t& newValue)
{
    newValue = answer_;
    return hasAnswer_;
}

bool CliPageHost::runCommandWait()
{
    CommandWait wait;
    do {
        context_.progress.show(label_, wait.failedTicks(), CommandWait::kMaxFailedTicks);
        if (context_.isInterrupted())
            return false;
        platform::sleepMs(CommandWait::kTickIntervalMs);
    } while (!wait.tick());
    context_.progress.clear();
    return wait.accepted();
}

CliPage BuildCliPage(const CliContext& context, const DriveType& drive, int pageMode, bool loadSystemInit,
                     CliPageHost& host)
{
    CliPage built;
    // Where the model's files are: the first data folder that holds its .som.
    const std::string name = SystemInitPath(std::string(), drive);
    built.systemInitName = name;
    built.systemInitPath = name.empty() ? std::string() : FindDataFile(context.dataFolders, name);
    ParamEnvironment environment;
    environment.repairPr1F = context.repairPr1F;
    environment.workingDirectory = context.dataFolders.empty() ? std::string() : context.dataFolders.front();
    if (!built.systemInitPath.empty())
        environment.workingDirectory = built.systemInitPath.substr(0, built.systemInitPath.size() - name.size());
    const ParameterFlagsTable flags =
        built.systemInitPath.empty() ? ParameterFlagsTable() : ReadParameterFlags(built.systemInitPath);
    built.page = std::make_unique<ParameterPage>(drive, pageMode, flags, environment);
    if (loadSystemInit && !built.systemInitPath.empty())
        built.systemInitLoaded =
            LoadPageFile(*built.page, built.systemInitPath, LoadSource::SystemInit, LoadColumns::all(), host);
    return built;
}

int PageModeOfPath(const std::string& path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return 0;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (int mode = PageModeParameter; mode <= PageModeTorque; ++mode)
        if (extension == PageModeExtension(mode))
            return mode;
    return 0;
}

std::string MissingSystemInitText(const CliContext& context, const CliPage& page)
{
    if (page.systemInitName.empty())
        return kDriverTypeErrorText;
    return page.systemInitName + LoadText(kTextNotFoundIn) + FolderList(context.dataFolders);
}
