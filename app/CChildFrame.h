#pragma once
// The frame of every document window: holds one view and its document,
// and stops a running scope before the window closes.

#include <QMdiSubWindow>

class CQDDToolsDoc;
class PluginDocTemplate;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // The frame owns the document (may be null for plug-in windows).
    CChildFrame(CQDDToolsDoc* doc, bool showsScope, QWidget* parent = nullptr);
    ~CChildFrame() override;

    void setView(QWidget* view);
    QWidget* view() const { return widget(); }
    CQDDToolsDoc* document() const { return doc_; }
    bool showsScope() const { return showsScope_; }
    void setPluginTemplate(PluginDocTemplate* owner) { pluginTemplate_ = owner; }
    bool showsPlugin() const { return pluginTemplate_ != nullptr; }
    // Closes a plug-in window without asking the plug-in: at exit it has
    // been asked through its close handshake already. False when it stays.
    bool closeAnsweredPlugin();

    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CQDDToolsDoc* doc_;
    bool showsScope_;
    PluginDocTemplate* pluginTemplate_ = nullptr;
    bool pluginAnswered_ = false;
};

// When the scope acquires, stops it and says so ("Scope process is
// stopping!"). Used by the child frame and the main frame on closing.
void StopScopeBeforeClosing();
