#pragma once
// The gain estimate view: the manual estimate of the five main gains from
// the stiffness tables, or the drive's own off-line auto tuning, then the
// EEPROM save and the list of parameters the tuning changed.

#include <QWidget>

class AutoTuningPanel;
class ManualEstimatePanel;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

struct EstimateViewContext {
    bool online = false;
    int driveClass = 0;
    // Auto tuning needs a drive of class 2 or higher.
    bool autoTuningAllowed() const { return online && driveClass >= 2; }
};

class CEstimateII_View : public QWidget {
    Q_OBJECT
public:
    explicit CEstimateII_View(const EstimateViewContext& context, QWidget* parent = nullptr);

    QRadioButton* manualRadio() const { return manualRadio_; }
    QRadioButton* autoRadio() const { return autoRadio_; }
    ManualEstimatePanel* manualPanel() const { return manual_; }
    AutoTuningPanel* autoPanel() const { return auto_; }
    QPushButton* eepromButton() const { return eeprom_; }
    QPushButton* showModifiedButton() const { return showModified_; }
    QLabel* promptBox() const { return prompt_; }
    QProgressBar* progressBar() const { return progress_; }
    QToolButton* exitButton() const { return exit_; }

private slots:
    void chooseManual();
    void chooseAuto();
    void writeEeprom();
    void showModified();
    void exitView();

private:
    void useMethod(bool manual);

    EstimateViewContext context_;
    QRadioButton* manualRadio_;
    QRadioButton* autoRadio_;
    QProgressBar* progress_;
    ManualEstimatePanel* manual_;
    AutoTuningPanel* auto_;
    QPushButton* eeprom_;
    QPushButton* showModified_;
    QLabel* prompt_;
    QToolButton* exit_;
};
