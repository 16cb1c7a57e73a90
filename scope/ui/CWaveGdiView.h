#pragma once
// The scope view: the screen, the channel list, the Scale and Trigger tabs,
// Run/Stop, Auto Set, Save, ReCall, Exit, the exports, the cursors, the
// status display and the diagnostics panel. It shows a ScopeSession and
// forwards what the user does; the session's worker is joined before the
// view goes.

#include "scope/ScopeSession.h"

#include <QTimer>
#include <QWidget>

class QPrinter;
class QPushButton;
class QTabWidget;
class CScaleDlg;
class CTriggerDlg;
class ScopeChannelList;
class ScopeDiagnosticsPanel;
class ScopeScreen;
class ScopeStatusDisplay;

enum class ScopeButton { RunStop, AutoSet, ReCall, Save, Exit, ExportCsv, ExportPng, Cursors, Diagnostics };
constexpr int kScopeButtonCount = 9;

class CWaveGdiView : public QWidget {
    Q_OBJECT
public:
    explicit CWaveGdiView(QWidget* parent = nullptr);
    ~CWaveGdiView() override;

    ScopeSession& session() { return session_; }
    QPushButton* button(ScopeButton which) const { return buttons_[static_cast<int>(which)]; }
    QTabWidget* tabs() const { return tabs_; }
    CScaleDlg* scaleTab() const { return scale_; }
    CTriggerDlg* triggerTab() const { return trigger_; }
    ScopeScreen* screen() const { return screen_; }
    ScopeChannelList* channelList() const { return channels_; }
    ScopeStatusDisplay* statusDisplay() const { return status_; }
    ScopeDiagnosticsPanel* diagnosticsPanel() const { return diagnostics_; }
    bool running() const { return running_; }

    // The printed page, on any printer (a PDF file works headless).
    void printTo(QPrinter& printer);
    // A landscape page, which the wide screen fills best.
    static void SetUpPrinter(QPrinter& printer);

public slots:
    // The application's Print and Print Preview commands.
    void filePrint();
    void filePrintPreview();
    void runOrStop();
    void exitView();
    // The 100 ms work: channel records and values, the acquisition's news.
    void refresh();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addButton(ScopeButton which, const QString& caption, const char* name);
    void layoutChildren();
    void run();
    void stop();
    void showStopped();
    void onAcquisitionEnded(AcquisitionEnd end);
    void autoSet();
    void recall();
    void onTabChanged(int index);
    void settingsChanged();
    void closeDocument();

    ScopeSession session_;
    ScopeScreen* screen_;
    ScopeChannelList* channels_;
    QTabWidget* tabs_;
    CScaleDlg* scale_;
    CTriggerDlg* trigger_;
    ScopeStatusDisplay* status_;
    ScopeDiagnosticsPanel* diagnostics_;
    QPushButton* buttons_[kScopeButtonCount] = {};
    QTimer refreshTimer_;  // 100 ms
    QTimer repaintTimer_;  // 60 ms
    bool running_ = false;
    bool shownOnce_ = false;
};
