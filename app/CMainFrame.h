#pragma once
// The main window: the area of child frames and the menus, which change with
// the active window (main, document, scope). Application commands are passed
// to the application object; document commands to the active document.

#include <QMainWindow>
#include <functional>

class QMdiArea;
class QMenu;
class CChildFrame;
class CQDDToolsDoc;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return mdiArea_; }
    void addChildFrame(CChildFrame* frame, bool fitToView);
    CChildFrame* activeChildFrame() const;
    QList<CChildFrame*> childFrames() const;

    // Builds the menu that suits the active window, with texts from the
    // text table and the on-line dependent items enabled or greyed.
    void updateMenus();
    // The action of a command in the current menu bar (nullptr when absent).
    QAction* commandAction(int commandId) const;
    void runCommand(int commandId);

    // Commands the application handles (exit, connection, tool box, help, about).
    void setApplicationCommandHandler(std::function<bool(int)> handler);
    // Runs after the scope check and before any window closes at exit; it
    // holds the plug-in's close handshake, so plug-in windows then close
    // without asking the plug-in again.
    void setBeforeCloseHandler(std::function<void()> handler) { beforeClose_ = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMainMenu();
    void buildDocumentMenu(bool scope);
    QAction* addCommand(QMenu* menu, int commandId, const QString& text);
    void addHelpMenu();
    // "Arrange Icons": lines up the minimised windows only.
    void arrangeIcons();

    QMdiArea* mdiArea_;
    std::function<bool(int)> appCommands_;
    std::function<void()> beforeClose_;
    bool destroying_ = false;  // child windows die after us: no menu work then
};
