// Makes the program's icon for the desktop, at every size the icon theme asks for:
//   cmake --build build --target grimbolt-icons && build/grimbolt-icons assets/icons
// The robot with its gun levelled, on the tile row under a night sky, drawn from
// shapes so that each size is sharp.

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kOutline(42, 46, 54);

// Drawn on a 64 x 64 grid, scaled to the size.
QImage icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    QPainterPath frame;
    frame.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QLinearGradient sky(0, 2, 0, 62);
    sky.setColorAt(0, QColor(12, 20, 48));
    sky.setColorAt(1, QColor(30, 42, 84));
    p.fillPath(frame, sky);
    p.setClipPath(frame);
    if (size >= 32) {
        for (const QPointF star :
             {QPointF(10, 12), QPointF(47, 9), QPointF(55, 20), QPointF(14, 33), QPointF(8, 22)})
            p.fillRect(QRectF(star, QSizeF(1.5, 1.5)), QColor(255, 255, 255));
    }
    p.fillRect(QRectF(0, 50, 64, 14), QColor(138, 90, 42));  // the tile row
    p.fillRect(QRectF(0, 50, 64, 3), QColor(48, 176, 48));

    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(QColor(74, 80, 92));  // legs
    p.drawRect(QRectF(24, 38, 4.5, 12));
    p.drawRect(QRectF(31, 38, 4.5, 12));
    p.setBrush(QColor(200, 205, 216));  // torso and head
    p.drawRoundedRect(QRectF(21, 20, 17, 19), 2.5, 2.5);
    p.drawRoundedRect(QRectF(23, 9, 13, 11), 2.5, 2.5);
    p.setBrush(QColor(224, 32, 32));  // visor
    p.drawRect(QRectF(26, 12.5, 7, 3));
    p.setBrush(QColor(40, 96, 224));  // chest panel
    p.drawRect(QRectF(25, 25, 9, 6));
    p.setBrush(QColor(140, 148, 164));  // the gun, levelled
    p.drawRect(QRectF(36, 26, 17, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 224, 0));  // a shot leaving the barrel
    p.drawEllipse(QRectF(54.5, 26.5, 7, 4));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets/icons");
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral("%1/grimbolt-%2.png").arg(dir).arg(size);
        if (!icon(size).save(path, "PNG")) {
            std::fprintf(stderr, "grimbolt-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
