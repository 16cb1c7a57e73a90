#pragma once
// The Trigger tab: the trigger source (Disable or a checked channel), the
// Horizontal share of the window ahead of the trigger (per cent) and the
// trigger level. The fields feed the running worker's live settings.

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
struct LiveSettings;

class CTriggerDlg : public QWidget {
    Q_OBJECT
public:
    CTriggerDlg(LiveSettings& live, QWidget* parent = nullptr);

    // Refills the source list with "Disable" and the channels of `mask`,
    // keeping the shown entry when it is still there. False for mask 0.
    bool refill(uint8_t mask);
    // 0 for "Disable" (or nothing), else the channel index + 1.
    int triggerSource() const;
    // Hands the fields' values to the worker (also done when editing ends).
    void commit();
    // The source is locked while the scope runs; the fields stay editable.
    void setRunning(bool running);
    // Selects the Horizontal field's text and gives it the focus.
    void focusHorizontal();

    QComboBox* sourceList() const { return source_; }
    QLineEdit* horizontalField() const { return horizontal_; }
    QLineEdit* levelField() const { return level_; }
    QLabel* levelUnit() const { return levelUnit_; }
    QLabel* description() const { return description_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onSourceChosen();

    LiveSettings& live_;
    QComboBox* source_;
    QLineEdit* horizontal_;
    QLineEdit* level_;
    QLabel* levelUnit_;
    QLabel* description_;
};
