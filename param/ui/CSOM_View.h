#pragma once
// The parameter setting view: the page of the drive's parameters as a
// five-column list, with the commands Load, Transfer, EEPROM save, Save,
// factory reset, Read, Compare and Exit, the selected row's help, a status
// line and a progress bar. A thin window over the page's core: it shows
// what the core reports and forwards what the user does.

#include "param/PageHost.h"
#include "param/PageOpening.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class QVBoxLayout;

class CSOM_View : public QWidget, private PageHost {
    Q_OBJECT
public:
    // Asks for a parameter's new value; false when the user cancelled.
    using ValueDialog = std::function<bool(int parameter, const std::string& definition, int32_t current,
                                           int32_t& newValue)>;

    CSOM_View(ParamEnvironment environment, ValueDialog valueDialog, QWidget* parent = nullptr);
    ~CSOM_View() override;

    // Builds the page of the current drive model in the chosen page mode and
    // fills it (from files off line, from the drive on line).
    void openPage();

    enum Command { Load, Transfer, Eeprom, Save, Factory, Read, Compare, Exit, CommandCount };
    QPushButton* button(Command command) const { return buttons_[command]; }
    QTableWidget* table() const { return table_; }
    QLabel* statusLine() const { return status_; }
    QLabel* descriptionLabel() const { return description_; }
    QLabel* modeLabel() const { return mode_; }
    QLabel* versionLabel() const { return version_; }
    ParameterPage* page() const { return page_.get(); }

public slots:
    void onLoad();
    void onTransfer();
    void onEeprom();
    void onSave();
    void onFactory();
    void onRead();
    void onCompare();
    void onExit();
    void onMinimise();
    // Edits the selected row (double click or Enter).
    void editSelectedRow();
    // Shows the selected row's help (the selection timer).
    void showSelectedRowHelp();
    // The firmware version in the status line (right double click).
    void showFirmwareVersion();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // PageHost
    void setProgressRange(int minimum, int maximum) override;
    void setProgress(int position) override;
    void setStatus(const std::string& text) override;
    void setDescription(const std::string& text, bool red) override;
    void valueChanged(int row) override;
    void textsChanged() override;
    bool runCommandWait() override;
    bool askValue(int parameter, const std::string& definition, int32_t current, int32_t& newValue) override;

    void buildMenu(QVBoxLayout* layout);
    void fillTable();
    void showRow(int row);
    // Disables the actions while a command runs, enables what fits after.
    void setBusy(bool busy);
    // Runs a command on the drive, when the page may reach it.
    void runOnDrive(const std::function<void(ParameterPage&)>& command);
    int selectedRow() const;
    void repaintNowAndThen(QWidget* widget);

    ParamEnvironment environment_;
    ValueDialog valueDialog_;
    std::unique_ptr<ParameterPage> page_;
    bool driveCommandsAvailable_ = false;
    QPushButton* buttons_[CommandCount] = {};
    QTableWidget* table_;
    QLabel* description_;
    QLabel* status_;
    QProgressBar* progress_;
    QLabel* mode_;
    QLabel* version_;
    QTimer* helpTimer_;
    QElapsedTimer lastRepaint_;
};
