#pragma once
// The program's shell with the scope registered as app/InstallViews.cpp does
// and the Wave Scope open, and the widgets the view suite and the screenshot
// program reach.

#include "app/CMainFrame.h"
#include "app/CQDDToolsApp.h"
#include "app/DriveLinkBridge.h"
#include "app/ViewRegistry.h"
#include "app/WindowCatalogue.h"
#include "link/LinkState.h"
#include "link/ScopeStreamControl.h"
#include "platform/ScriptedUserPrompt.h"
#include "scope/ui/CScaleDlg.h"
#include "scope/ui/CTriggerDlg.h"
#include "scope/ui/CWaveGdiView.h"
#include "scope/ui/ScopeScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>

// Starts `app` in `folder` (no plug-in, no cover), its connection step
// being `connect`; the scope view, or null.
inline CWaveGdiView* OpenScopeInShell(CQDDToolsApp& app, const std::string& folder, std::function<void()> connect)
{
    DriveLinkBridge& bridge = LinkBridge();
    bridge.onlineFlag = [] { return linkState().online; };
    bridge.stopScopeAcquisition = [] { return ScopeHaltAcquisition(); };
    bridge.runConnectionStep = std::move(connect);
    ViewRegistry::setFactory(ViewClass::Scope, [](CQDDToolsDoc*, QWidget* parent) -> QWidget* {
        return new CWaveGdiView(parent);
    });
    OpenWindows().reset();
    StartupOptions options;
    options.workingDirectory = folder;
    options.pluginPath = folder + "/none.so";
    options.showCover = false;
    options.showMaximized = false;
    if (!app.initInstance(options))
        return nullptr;
    app.mainFrame()->runCommand(32876);  // Wave Scope
    return app.mainFrame()->findChild<CWaveGdiView*>();
}
