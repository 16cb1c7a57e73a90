#pragma once
// The command-wait dialog: shows a heading and a coloured message while it
// writes 1 to a command register every 100 ms until the drive accepts it or
// 100 ticks have failed; it ends only then.

#include "link/CommandWait.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

class CMessageEx : public QDialog {
    Q_OBJECT
public:
    // Takes heading, message, colour mode and target register from the link
    // state's command-wait request.
    explicit CMessageEx(QWidget* parent = nullptr);

    const CommandWait& commandWait() const { return wait_; }
    QLabel* headingLabel() const { return heading_; }
    QLabel* messageLabel() const { return message_; }

    // Esc, the close box and Alt+F4 are refused while the wait runs: its
    // timer would go on writing to the drive after the window had gone.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void onTick();

private:
    QLabel* heading_;
    QLabel* message_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QTimer* timer_;
    CommandWait wait_;
};
