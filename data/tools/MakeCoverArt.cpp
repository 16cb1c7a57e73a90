// Draws the program's cover picture and writes it as a BMP file, so the
// picture is built rather than kept in the repository.

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeCoverArt <output.bmp>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QImage image(368, 262, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 262);
    sky.setColorAt(0, QColor(18, 44, 86));
    sky.setColorAt(1, QColor(6, 14, 30));
    painter.fillRect(image.rect(), sky);

    // A motor shaft's sine and a step response, the tool's two daily sights.
    QPainterPath sine;
    for (int x = 0; x <= 368; ++x) {
        const double y = 170 + 28 * std::sin(x / 22.0);
        x == 0 ? sine.moveTo(x, y) : sine.lineTo(x, y);
    }
    painter.setPen(QPen(QColor(0, 220, 120), 2));
    painter.drawPath(sine);
    QPainterPath step;
    step.moveTo(0, 230);
    step.lineTo(60, 230);
    for (int x = 60; x <= 368; ++x)
        step.lineTo(x, 200 - 30 * (1 - std::exp(-(x - 60) / 25.0) * std::cos((x - 60) / 9.0)));
    painter.setPen(QPen(QColor(255, 170, 60), 2));
    painter.drawPath(step);

    QFont title = painter.font();
    title.setPointSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 40, 368, 60), Qt::AlignCenter, "Drivara");
    QFont sub = painter.font();
    sub.setPointSize(11);
    sub.setBold(false);
    painter.setFont(sub);
    painter.setPen(QColor(190, 210, 240));
    painter.drawText(QRect(0, 100, 368, 24), Qt::AlignCenter, "AC servo drive engineering tool");
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "BMP") ? 0 : 1;
}
