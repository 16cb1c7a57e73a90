// Drivara: engineering tool for AC servo drives.

#include "app/CQDDToolsApp.h"
#include "app/DriveLinkBridge.h"
#include "app/InstallViews.h"
#include "app/QtUserPrompt.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QtUserPrompt prompt;
    platform::setUserPrompt(&prompt);
    InstallDriveLink(LinkBridge());
    InstallViews();

    int result = 1;
    {
        CQDDToolsApp app;
        if (app.initInstance(StartupOptions{}))
            result = application.exec();
    }
    platform::setUserPrompt(nullptr);
    return result;
}
