#pragma once
// The I/O monitor: the drive's control mode, its input and output pins and
// the two pulse sums with their Zero buttons, polled through the library's
// Modbus master one exchange per timer event.

#include "monitor/IoMonitorPoller.h"

#include <QWidget>

class CModbus;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;

class CIO_Monitor : public QWidget {
    Q_OBJECT
public:
    // `intervalMs` is the setting "iIOM_IntervalTime".
    CIO_Monitor(CModbus& modbus, int intervalMs, QWidget* parent = nullptr);

    QLabel* modeLine() const { return mode_; }
    QPlainTextEdit* inputText() const { return inputs_; }
    QPlainTextEdit* outputText() const { return outputs_; }
    QLabel* commandSum() const { return commandSum_; }
    QLabel* feedbackSum() const { return feedbackSum_; }
    QPushButton* zeroCommandButton() const { return zeroCommand_; }
    QPushButton* zeroFeedbackButton() const { return zeroFeedback_; }
    QToolButton* exitButton() const { return exit_; }
    QTimer* pollTimer() const { return timer_; }
    const IoMonitorPoller& poller() const { return poller_; }

public slots:
    // One step of the poll (one exchange); schedules the next.
    void pollStep();

private slots:
    void zeroCommand();
    void zeroFeedback();
    void exitView();

private:
    void show(const IoReadout& readout);

    IoMonitorPoller poller_;
    QLabel* mode_;
    QPlainTextEdit* inputs_;
    QPlainTextEdit* outputs_;
    QLabel* commandSum_;
    QLabel* feedbackSum_;
    QPushButton* zeroCommand_;
    QPushButton* zeroFeedback_;
    QToolButton* exit_;
    QTimer* timer_;
};
