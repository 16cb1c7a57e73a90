#pragma once
// The cover picture shown at start-up for the splash time; in engineer mode
// it then asks whether to stay in engineer mode.

#include <QDialog>
#include <QTimer>

class QLabel;

class CCoverDlg : public QDialog {
    Q_OBJECT
public:
    CCoverDlg(int splashTimeMs, QWidget* parent = nullptr);

    // The timer's work, callable directly by tests.
    void onSplashTimeout();
    // Escape ends the splash early, but engineer mode is still asked about.
    void reject() override;
    QLabel* picture() const { return picture_; }
    bool showsEngineerPicture() const { return engineerPicture_; }
    QTimer& timer() { return timer_; }

    // The picture shown in engineer mode, drawn by the program itself.
    static QImage engineerCover();
    // The picture of the working directory, null when it cannot be read.
    static QImage coverFromFile();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showImage(const QImage& image);

    QLabel* picture_;
    QTimer timer_;
    int splashTimeMs_;
    bool engineerPicture_ = false;
};
