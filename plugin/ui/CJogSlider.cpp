#include "plugin/ui/CJogSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

CJogSlider::CJogSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setObjectName("jogSlider");
    setRange(-1, 1);
    setValue(0);
    setPageStep(1);
    // The left-hand label reads "J+": the positive end stands there.
    setInvertedAppearance(true);
    setInvertedControls(true);
    setTickPosition(QSlider::TicksBelow);
}

void CJogSlider::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    setValue(0);
}

void CJogSlider::keyReleaseEvent(QKeyEvent* event)
{
    QSlider::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        setValue(0);
}

void CJogSlider::wheelEvent(QWheelEvent* event)
{
    event->accept();
}
