// The plug-in's entry point, looked up by the host by its plain name.

#include "plugin/CWaypadApp.h"
#include "plugin/ui/CWaypadMDT.h"

#include <QDir>

extern "C" __attribute__((visibility("default"))) PluginDocTemplate* CreateDLLDocTemplate(PluginLinkRecord* record)
{
    if (!record)
        return nullptr;
    CWaypadApp& app = CWaypadApp::instance();
    app.bind(*record, QDir::currentPath().toStdString());
    return new CWaypadMDT(app);
}
