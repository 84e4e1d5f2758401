// Build-time tool: paints the application's logo (an easel with a canvas and a brush stroke)
// and writes it as a JPEG.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    QImage logo(128, 128, QImage::Format_RGB32);
    logo.fill(QColor(0xff, 0xff, 0xff));

    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);

    // Easel legs.
    painter.setPen(QPen(QColor(0x8a, 0x5a, 0x2b), 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(40, 120), QPointF(64, 14));
    painter.drawLine(QPointF(88, 120), QPointF(64, 14));
    painter.drawLine(QPointF(64, 40), QPointF(64, 122));

    // Canvas with a warm border, the colour of the report's frame.
    painter.setPen(QPen(QColor(0xf5, 0xbd, 0x68), 4));
    painter.setBrush(QColor(0xfb, 0xf7, 0xee));
    painter.drawRoundedRect(QRectF(22, 22, 84, 64), 4, 4);

    // A brush stroke across the canvas.
    QPainterPath stroke;
    stroke.moveTo(32, 70);
    stroke.cubicTo(48, 36, 72, 84, 96, 38);
    painter.setPen(QPen(QColor(0x2f, 0x6d, 0xb5), 7, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(stroke);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd9, 0x4f, 0x3d));
    painter.drawEllipse(QPointF(44, 44), 7, 7);
    painter.end();

    if (!logo.save(QString::fromLocal8Bit(argv[1]), "JPEG", 90)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
