#pragma once
// Steps 1 to 4 of the estimate view: inertia ratio and stiffness, bandwidth
// and response time, the Previous / Now / Driver columns of the five gains,
// the modify check box, Transfer and Read. It shows a ManualEstimateForm and
// forwards the person's edits to it.

#include "tuning/ManualEstimateForm.h"

#include <QWidget>
#include <array>
#include <map>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

class ManualEstimatePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStiffnessDelayMs = 100;

    ManualEstimatePanel(bool online, bool manualMethod, QProgressBar* progress, QWidget* parent = nullptr);

    void setActive(bool active);
    const ManualEstimateForm& form() const { return form_; }

    QLineEdit* inertiaInput() const { return inertia_; }
    QComboBox* stiffnessList() const { return stiffness_; }
    QLineEdit* bandwidthInput() const { return bandwidth_; }
    QLineEdit* responseTimeInput() const { return responseTime_; }
    QLabel* bandwidthLabel() const { return bandwidthLabel_; }
    QLabel* responseTimeLabel() const { return responseTimeLabel_; }
    QPushButton* estimateButton() const { return estimate_; }
    QCheckBox* modifyCheck() const { return modify_; }
    QPushButton* transferButton() const { return transfer_; }
    QPushButton* readButton() const { return read_; }
    QLineEdit* previousField(int row) const { return previous_[row]; }
    QLineEdit* nowField(int row) const { return now_[row]; }
    QLineEdit* driverField(int row) const { return driver_[row]; }

signals:
    // A help or result text for the view's prompt box.
    void prompt(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void chooseStiffness();
    void estimateGain();
    void toggleModify(bool checked);
    void transfer();
    void readFromServo();

private:
    QWidget* buildInputs();
    QWidget* buildGainTable();
    void helpOnFocus(QWidget* field, unsigned textId);
    // Shows the form's texts and enabled states.
    void sync();

    ManualEstimateForm form_;
    QProgressBar* progress_;
    QLineEdit* inertia_;
    QComboBox* stiffness_;
    QLineEdit* bandwidth_;
    QLineEdit* responseTime_;
    QLabel* bandwidthLabel_;
    QLabel* responseTimeLabel_;
    QPushButton* estimate_;
    QCheckBox* modify_;
    QPushButton* transfer_;
    QPushButton* read_;
    std::array<QLineEdit*, kGainRowCount> previous_{}, now_{}, driver_{};
    QTimer* stiffnessTimer_;
    std::map<QObject*, unsigned> helpTexts_;
};
