// Drivara: engineering tool for AC servo drives.

#include "app/CQDDToolsApp.h"
#include "app/DriveLinkBridge.h"
#include "app/InstallViews.h"
#include "app/QtUserPrompt.h"
#include "app/ShellState.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // DRIVARA_EXIT_AFTER_STARTUP checks an installation without a person at
    // the screen: no cover, no connection dialog (the program stays off
    // line), messages go to stderr with their first button as the answer,
    // and the program ends once start-up is done.
    const bool exitAfterStartup = !qEnvironmentVariableIsEmpty("DRIVARA_EXIT_AFTER_STARTUP");
    QtUserPrompt prompt;
    if (!exitAfterStartup)
        platform::setUserPrompt(&prompt);
    InstallDriveLink(LinkBridge());
    if (exitAfterStartup)
        LinkBridge().runConnectionStep = nullptr;
    InstallViews();

    int result = 1;
    {
        CQDDToolsApp app;
        StartupOptions options;
        options.showCover = !exitAfterStartup;
        if (app.initInstance(options)) {
            if (exitAfterStartup) {
                std::printf("Drivara started in %s\n", Shell().workingDirectory.c_str());
                result = 0;
            }
            else
                result = application.exec();
        }
    }
    platform::setUserPrompt(nullptr);
    return result;
}
