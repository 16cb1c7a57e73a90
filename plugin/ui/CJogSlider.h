#pragma once
// A spring-loaded jog slider: -1, 0 or +1, back to 0 when the mouse or a key
// lets go; the wheel does nothing. +1 stands at the left end.

#include <QSlider>

class CJogSlider : public QSlider {
    Q_OBJECT
public:
    explicit CJogSlider(QWidget* parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
