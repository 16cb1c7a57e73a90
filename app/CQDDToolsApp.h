#pragma once
// The application object: start-up in its fixed order, the application
// commands (about, help, tool box, reconnect, the plug-in's window) and the
// orderly exit with the wait for the plug-in.

#include "app/PluginBinding.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

class CChildFrame;
class CMainFrame;
class CMultiDocTemplate_qd;

struct StartupOptions {
    std::string workingDirectory;    // empty: the current directory
    std::string pluginPath;          // empty: libWaypad.so beside the program
    int coverTimeOverrideMs = -1;    // tests shorten the cover; -1 keeps the setting
    bool showCover = true;
    bool showMaximized = true;
};

class CQDDToolsApp : public QObject {
    Q_OBJECT
public:
    CQDDToolsApp();
    ~CQDDToolsApp() override;

    // Returns false when the program cannot run (no main frame or template).
    bool initInstance(const StartupOptions& options);
    CMainFrame* mainFrame() const { return mainFrame_.get(); }
    CMultiDocTemplate_qd* mainTemplate() const { return mainTemplate_.get(); }
    PluginBinding& plugin() { return plugin_; }

    // Application commands; false for a command that is not the application's.
    bool onCommand(int commandId);
    void openToolBox();
    void reconnect();
    // Opens the plug-in's window, or brings the open one forward: like
    // every other kind it exists at most once.
    void openPluginWindow();
    // Raises the plug-in's close request and waits for its answer.
    void saveAllModified();

    static std::string defaultPluginPath();

private:
    void bindPlugin(const std::string& path);

    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<CMultiDocTemplate_qd> mainTemplate_;
    PluginBinding plugin_;
    QPointer<CChildFrame> pluginFrame_;
};
