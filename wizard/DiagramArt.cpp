#include "wizard/DiagramArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <initializer_list>

namespace {

const QColor kInk(40, 48, 60);
const QColor kWire(70, 80, 95);
const QColor kBoxFill(232, 240, 250);
const QColor kBoxEdge(48, 84, 140);
const QColor kStrip(70, 110, 170);
const QColor kPlainFill(244, 244, 238);

// Rows shared by every diagram (see the layout).
constexpr int kLoopY = 293;       // centre line of the velocity loop
constexpr int kFeedbackY = 403;   // centre line of the feedback row
constexpr int kOutputY = 501;     // centre line of the encoder output row
constexpr int kCommandY = 87;     // centre line of the command row
constexpr int kBranchY = 181;     // centre line of the branch row
constexpr int kReturnY = 236;     // the wire that brings the command down to the loop
constexpr int kRightRail = 944;
constexpr int kLoopSumX = 36;
constexpr int kTorqueLimitX = 430;
constexpr int kPulseTypeRows = 6;

QRect rectOf(const LayoutRect& r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

QFont pixelFont(int pixels, bool bold = false)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

class Drawing {
public:
    Drawing(QImage& image, const DiagramLayout& layout) : painter_(&image), layout_(layout)
    {
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.setRenderHint(QPainter::TextAntialiasing);
    }

    const DiagramBox& box(const char* key) const { return *layout_.box(key); }
    QPoint leftOf(const char* key) const { return {box(key).rect.x, box(key).rect.centreY()}; }
    QPoint rightOf(const char* key) const { return {box(key).rect.right(), box(key).rect.centreY()}; }
    QPoint topOf(const char* key) const { return {box(key).rect.centreX(), box(key).rect.y}; }
    QPoint bottomOf(const char* key) const { return {box(key).rect.centreX(), box(key).rect.bottom()}; }

    void parameterBox(const DiagramBox& b)
    {
        const QRect r = rectOf(b.rect);
        painter_.setPen(QPen(kBoxEdge, 1.5));
        painter_.setBrush(kBoxFill);
        painter_.drawRoundedRect(r, 5, 5);
        painter_.setPen(kInk);
        painter_.setFont(pixelFont(11));
        painter_.drawText(r.adjusted(4, 3, -4, -26), Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap,
                          QString::fromStdString(b.caption));
        // Where the buttons lie: the picture names the parameters too.
        painter_.setFont(pixelFont(10, true));
        for (int id : b.buttons) {
            const DiagramButton& button = *layout_.button(id);
            painter_.setPen(Qt::NoPen);
            painter_.setBrush(kStrip);
            painter_.drawRoundedRect(rectOf(button.rect), 3, 3);
            painter_.setPen(Qt::white);
            painter_.drawText(rectOf(button.rect), Qt::AlignCenter, QString::fromStdString(button.label));
        }
    }

    void plainBox(const QRect& r, const QString& text)
    {
        painter_.setPen(QPen(kInk, 1.5));
        painter_.setBrush(kPlainFill);
        painter_.drawRect(r);
        painter_.setFont(pixelFont(11));
        painter_.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text);
    }

    // A summing point; `signs` are drawn beside its inputs.
    void sum(QPoint c, int radius = 14)
    {
        painter_.setPen(QPen(kInk, 1.5));
        painter_.setBrush(Qt::white);
        painter_.drawEllipse(c, radius, radius);
        painter_.drawLine(c + QPoint(-radius * 7 / 10, -radius * 7 / 10), c + QPoint(radius * 7 / 10, radius * 7 / 10));
        painter_.drawLine(c + QPoint(-radius * 7 / 10, radius * 7 / 10), c + QPoint(radius * 7 / 10, -radius * 7 / 10));
    }

    void sign(QPoint at, const char* text)
    {
        painter_.setPen(kInk);
        painter_.setFont(pixelFont(12, true));
        painter_.drawText(QRect(at.x() - 8, at.y() - 8, 16, 16), Qt::AlignCenter, text);
    }

    // A wire through the points, with an arrowhead at the last one.
    void wire(std::initializer_list<QPoint> points)
    {
        QPolygon line;
        for (const QPoint& p : points)
            line << p;
        painter_.setPen(QPen(kWire, 1.6));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPolyline(line);
        const QPointF tip = line.last();
        const QPointF from = line.at(line.size() - 2);
        QLineF back(tip, from);
        back.setLength(8);
        QLineF side1 = back;
        side1.setAngle(back.angle() + 22);
        QLineF side2 = back;
        side2.setAngle(back.angle() - 22);
        painter_.setBrush(kWire);
        painter_.drawPolygon(QPolygonF() << tip << side1.p2() << side2.p2());
    }

    void dot(QPoint at)
    {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(kWire);
        painter_.drawEllipse(at, 3, 3);
    }

    void label(const QRect& r, const QString& text, int flags = Qt::AlignCenter, int pixels = 11)
    {
        painter_.setPen(kInk);
        painter_.setFont(pixelFont(pixels));
        painter_.drawText(r, flags | Qt::TextWordWrap, text);
    }

    void title(const QString& heading, const QString& subtitle)
    {
        painter_.setPen(kInk);
        painter_.setFont(pixelFont(18, true));
        painter_.drawText(QRect(16, 6, 700, 24), Qt::AlignLeft | Qt::AlignVCenter, heading);
        painter_.setFont(pixelFont(11));
        painter_.drawText(QRect(16, 30, 700, 16), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    }

    void motor(QPoint c)
    {
        painter_.setPen(QPen(kInk, 1.5));
        painter_.setBrush(kPlainFill);
        painter_.drawEllipse(c, 24, 24);
        painter_.setFont(pixelFont(16, true));
        painter_.drawText(QRect(c.x() - 24, c.y() - 24, 48, 48), Qt::AlignCenter, "M");
    }

    QPainter& painter() { return painter_; }

private:
    QPainter painter_;
    const DiagramLayout& layout_;
};

// The velocity loop, the current loop and motor, the speed feedback and the
// encoder output: the lower half of every diagram.
void drawLoop(Drawing& d, bool earlyClass, bool torque)
{
    const QPoint loopSum(kLoopSumX, kLoopY);
    d.wire({{kRightRail, kReturnY}, {kLoopSumX, kReturnY}, {kLoopSumX, kLoopY - 14}});
    d.sum(loopSum);
    d.sign({kLoopSumX + 12, kLoopY - 22}, "+");
    d.sign({kLoopSumX + 12, kLoopY + 22}, "-");
    d.wire({{kLoopSumX + 14, kLoopY}, d.leftOf("velocityGain")});
    d.wire({d.rightOf("velocityGain"), d.leftOf("integral")});
    d.wire({d.rightOf("integral"), d.leftOf("inertia")});
    if (torque) {
        // The torque command, limited by the velocity loop.
        d.wire({d.rightOf("inertia"), {kTorqueLimitX - 10, kLoopY}});
        d.painter().setPen(QPen(kInk, 1.5));
        d.painter().setBrush(Qt::white);
        d.painter().drawRect(kTorqueLimitX - 10, kLoopY - 10, 20, 20);
        d.label(QRect(kTorqueLimitX - 10, kLoopY - 10, 20, 20), "L", Qt::AlignCenter, 11);
        d.label(QRect(kTorqueLimitX - 30, kLoopY + 12, 60, 16), "limit", Qt::AlignCenter, 10);
        d.wire({{kTorqueLimitX + 10, kLoopY}, d.leftOf("torqueFilter")});
    } else {
        d.wire({d.rightOf("inertia"), d.leftOf("torqueFilter")});
    }
    d.wire({d.rightOf("torqueFilter"), d.leftOf("notch1")});
    const QRect current(832, 372, 112, 62);
    if (earlyClass) {
        d.wire({d.rightOf("notch1"), {current.center().x(), kLoopY}, {current.center().x(), current.top()}});
    } else {
        d.wire({d.rightOf("notch1"), d.leftOf("notch2")});
        d.wire({{current.center().x(), d.box("notch2").rect.bottom()}, {current.center().x(), current.top()}});
    }
    d.plainBox(current, "Current loop");
    d.wire({{current.left(), kFeedbackY}, {784, kFeedbackY}});
    d.motor({760, kFeedbackY});
    const QRect encoder(656, 380, 64, 46);
    d.painter().setPen(QPen(kInk, 3));
    d.painter().drawLine(736, kFeedbackY, encoder.right(), kFeedbackY);
    d.plainBox(encoder, "Encoder");
    d.wire({{encoder.left(), kFeedbackY}, d.rightOf("speedDetection")});
    d.wire({d.leftOf("speedDetection"), {kLoopSumX, kFeedbackY}, {kLoopSumX, kLoopY + 14}});
    d.label(QRect(120, kFeedbackY - 18, 200, 16), "speed feedback", Qt::AlignLeft | Qt::AlignVCenter, 10);
    // Encoder output to the host.
    d.wire({{encoder.center().x(), encoder.bottom()}, {encoder.center().x(), kOutputY}, d.rightOf("outputDivision")});
    d.wire({d.leftOf("outputDivision"), d.rightOf("outputRatio")});
    d.wire({d.leftOf("outputRatio"), d.rightOf("outputLogic")});
    d.wire({d.leftOf("outputLogic"), {200, kOutputY}});
    d.label(QRect(96, kOutputY - 20, 100, 40), "OA / OB / OZ\nto the host", Qt::AlignRight | Qt::AlignVCenter);
}

// The analog input that feeds the first box of the command row.
void inputArrow(Drawing& d, const char* text, const char* firstBox)
{
    d.wire({{2, kCommandY}, d.leftOf(firstBox)});
    d.label(QRect(2, kCommandY + 4, 96, 28), text, Qt::AlignLeft | Qt::AlignTop, 10);
}

void drawPosition(Drawing& d)
{
    d.wire({{2, kCommandY}, d.leftOf("pulseInput")});
    d.wire({d.rightOf("pulseInput"), d.leftOf("inputFilter")});
    d.wire({d.rightOf("inputFilter"), d.leftOf("gear")});
    d.wire({d.rightOf("gear"), d.leftOf("smoothing")});
    const QPoint deviation(560, kCommandY);
    d.wire({d.rightOf("smoothing"), {deviation.x() - 14, kCommandY}});
    d.sum(deviation);
    d.sign({deviation.x() - 20, kCommandY - 14}, "+");
    d.sign({deviation.x() + 12, kCommandY + 22}, "-");
    d.label(QRect(deviation.x() - 50, kCommandY - 36, 100, 14), "deviation", Qt::AlignCenter, 10);
    d.wire({{deviation.x() + 14, kCommandY}, d.leftOf("positionGain")});
    const QPoint velocityCommand(744, kCommandY);
    d.wire({d.rightOf("positionGain"), {velocityCommand.x() - 14, kCommandY}});
    d.sum(velocityCommand);
    d.sign({velocityCommand.x() - 20, kCommandY - 14}, "+");
    d.sign({velocityCommand.x() + 22, kCommandY + 20}, "+");
    d.painter().setPen(QPen(kWire, 1.6));
    d.painter().drawPolyline(QPolygon() << QPoint(velocityCommand.x() + 14, kCommandY)
                                        << QPoint(kRightRail, kCommandY) << QPoint(kRightRail, kReturnY));
    // Feed forward from the position command.
    d.dot({536, kCommandY});
    d.wire({{536, kCommandY}, {536, kBranchY}, d.leftOf("feedForward")});
    d.wire({d.rightOf("feedForward"), {velocityCommand.x(), kBranchY}, {velocityCommand.x(), kCommandY + 14}});
    // Position feedback: the encoder pulses counted back into the deviation.
    d.dot({640, kFeedbackY});
    d.wire({{640, kFeedbackY}, {640, 452}, {10, 452}, {10, 136}, {deviation.x(), 136},
            {deviation.x(), kCommandY + 14}});
    d.label(QRect(16, 138, 200, 14), "position feedback", Qt::AlignLeft | Qt::AlignVCenter, 10);
}

void drawVelocity(Drawing& d)
{
    inputArrow(d, "Analog speed command (Pin 14)", "inputGain");
    d.wire({d.rightOf("inputGain"), d.leftOf("reversal")});
    d.wire({d.rightOf("reversal"), d.leftOf("offset")});
    d.wire({d.rightOf("offset"), d.leftOf("speedSelection")});
    d.wire({d.topOf("internalSpeeds"), d.bottomOf("speedSelection")});
    d.wire({d.rightOf("speedSelection"), d.leftOf("zeroSpeed")});
    d.wire({d.rightOf("zeroSpeed"), d.leftOf("accDec")});
    d.painter().setPen(QPen(kWire, 1.6));
    d.painter().drawPolyline(QPolygon() << d.rightOf("accDec") << QPoint(kRightRail, kCommandY)
                                        << QPoint(kRightRail, kReturnY));
    d.label(QRect(760, kReturnY - 16, 180, 14), "speed command", Qt::AlignRight | Qt::AlignVCenter, 10);
}

void drawTorque(Drawing& d, bool pin16)
{
    d.painter().setPen(QPen(kWire, 1.6));
    if (pin16) {
        inputArrow(d, "Analog torque command (Pin 16)", "torqueGain");
        d.wire({d.rightOf("torqueGain"), d.leftOf("torqueReversal")});
        d.wire({d.rightOf("torqueReversal"), {kTorqueLimitX, kCommandY}, {kTorqueLimitX, kLoopY - 10}});
        d.label(QRect(456, 150, 140, 62), "Analog speed limit (Pin 14)", Qt::AlignCenter, 10);
        d.wire({{586, kBranchY}, d.leftOf("offset")});
        d.painter().setPen(QPen(kWire, 1.6));
        d.painter().drawPolyline(QPolygon() << d.rightOf("offset") << QPoint(kRightRail, kBranchY)
                                            << QPoint(kRightRail, kReturnY));
    } else {
        inputArrow(d, "Analog torque command (Pin 14)", "offset");
        d.wire({d.rightOf("offset"), d.leftOf("torqueGain")});
        d.wire({d.rightOf("torqueGain"), d.leftOf("torqueReversal")});
        d.wire({d.rightOf("torqueReversal"), {470, kCommandY}, {470, 140}, {kTorqueLimitX, 140},
                {kTorqueLimitX, kLoopY - 10}});
        d.painter().setPen(QPen(kWire, 1.6));
        d.painter().drawPolyline(QPolygon() << d.rightOf("speedLimit") << QPoint(kRightRail, kBranchY)
                                            << QPoint(kRightRail, kReturnY));
    }
    d.label(QRect(760, kReturnY - 16, 180, 14), "speed limit", Qt::AlignRight | Qt::AlignVCenter, 10);
    d.label(QRect(kTorqueLimitX + 6, 214, 140, 14), "torque command", Qt::AlignLeft | Qt::AlignVCenter, 10);
}

QString subtitleOf(WizardDiagram diagram, bool earlyClass, bool pin16)
{
    QString text = earlyClass ? "Drive class 0 / 1: one notch filter" : "Drive class 2 to 5: two notch filters";
    if (diagram == WizardDiagram::Torque)
        text += pin16 ? (earlyClass ? ", torque command at Pin 16 (Pr.5B = 1)"
                                    : ", torque command at Pin 16 (Pr.5B other than 0)")
                      : ", torque command at Pin 14 (Pr.5B = 0)";
    return text + ".  Click a parameter to set it.";
}

const char* headingOf(WizardDiagram diagram)
{
    switch (diagram) {
    case WizardDiagram::Position: return "Position control";
    case WizardDiagram::Velocity: return "Velocity control";
    case WizardDiagram::Torque: return "Torque control";
    }
    return "";
}

}  // namespace

QImage DrawDiagram(WizardDiagram diagram, bool earlyClass, bool torquePin16)
{
    const bool pin16 = diagram == WizardDiagram::Torque && torquePin16;
    const DiagramLayout& layout = LayoutOf(diagram, pin16);
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    Drawing d(image, layout);
    d.title(headingOf(diagram), subtitleOf(diagram, earlyClass, pin16));
    drawLoop(d, earlyClass, diagram == WizardDiagram::Torque);
    switch (diagram) {
    case WizardDiagram::Position: drawPosition(d); break;
    case WizardDiagram::Velocity: drawVelocity(d); break;
    case WizardDiagram::Torque: drawTorque(d, pin16); break;
    }
    // Boxes last, over the wire ends; the early drives have no 2nd notch.
    for (const DiagramBox& b : layout.boxes)
        if (!(earlyClass && b.key == "notch2"))
            d.parameterBox(b);
    return image;
}

namespace {

// One trace level at x (0 .. width) of a half: the pulse form of a type,
// for the first (0) or second (1) input, moving forward or in reverse.
bool pulseLevel(int form, int input, bool reverse, int x)
{
    constexpr int period = 24;
    const bool square = (x % period) < period / 2;
    switch (form) {
    case 0: {  // two phases 90 degrees apart: the second lags forward, leads in reverse
        if (input == 0)
            return square;
        const int shifted = x + (reverse ? period / 4 : period - period / 4);
        return (shifted % period) < period / 2;
    }
    case 1:  // one train per direction
        return (input == 0) != reverse ? square : false;
    default:  // pulse train and sign
        return input == 0 ? square : !reverse;
    }
}

}  // namespace

namespace {
constexpr int kPulseLabelWidth = 44;
constexpr int kPulseHalfWidth = 112;
constexpr int kPulseGap = 16;
constexpr int kPulseWidth = kPulseLabelWidth + 2 * kPulseHalfWidth + kPulseGap + 8;
int pulseHalfLeft(int half)
{
    return kPulseLabelWidth + 4 + half * (kPulseHalfWidth + kPulseGap);
}
}  // namespace

QImage DrawPulseFormsHeading()
{
    QImage image(kPulseWidth, 18, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(kInk);
    painter.setFont(pixelFont(11, true));
    painter.drawText(QRect(pulseHalfLeft(0), 0, kPulseHalfWidth, 18), Qt::AlignCenter, "CCW");
    painter.drawText(QRect(pulseHalfLeft(1), 0, kPulseHalfWidth, 18), Qt::AlignCenter, "CW");
    return image;
}

QImage DrawPulseForm(int type)
{
    QImage image(kPulseWidth, 52, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(pixelFont(10));
    // Types 4 to 6 turn the other way for the same pulses.
    const bool swapped = type >= kPulseTypeRows / 2;
    for (int input = 0; input < 2; ++input) {
        const int base = 22 + input * 24;
        painter.setPen(kInk);
        painter.drawText(QRect(0, base - 14, kPulseLabelWidth, 16), Qt::AlignRight | Qt::AlignVCenter,
                         input == 0 ? "PULS" : "SIGN");
        painter.setPen(QPen(kStrip, 1.5));
        for (int half = 0; half < 2; ++half) {
            const int left = pulseHalfLeft(half);
            const bool reverse = (half == 1) != swapped;
            QPolygon trace;
            for (int x = 0; x <= kPulseHalfWidth; ++x) {
                const int level = pulseLevel(type % 3, input, reverse, x) ? base - 12 : base;
                if (!trace.isEmpty() && trace.last().y() != level)
                    trace << QPoint(left + x, trace.last().y());
                trace << QPoint(left + x, level);
            }
            painter.drawPolyline(trace);
        }
    }
    return image;
}
