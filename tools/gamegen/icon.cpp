#include "icon.h"

#include "art.h"

#include "platform/errors.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainterPath>

namespace qm::gamegen {

QImage drawIcon(int size)
{
    QImage image = newLayer(size, size);
    QPainter p;
    beginPainter(p, image);
    p.scale(size / 64.0, size / 64.0); // drawn on a 64 x 64 canvas

    // The rounded square: deep moss green, lighter at the top.
    QLinearGradient back(0, 2, 0, 62);
    back.setColorAt(0, QColor(46, 98, 60));
    back.setColorAt(1, QColor(16, 44, 30));
    p.setPen(QPen(QColor(10, 28, 18), 1.2));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(2.5, 2.5, 59, 59), 10, 10);

    // A 3 x 3 grid of tiles, as the editor's map shows them: moss, earth, stone and a gem.
    const QColor tiles[9] = {QColor(96, 176, 110), QColor(150, 110, 70), QColor(96, 176, 110),
                             QColor(128, 130, 118), QColor(60, 220, 255), QColor(150, 110, 70),
                             QColor(96, 176, 110), QColor(128, 130, 118), QColor(96, 160, 60)};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const QRectF cell(9 + c * 16, 11 + r * 16, 14, 14);
            const QColor colour = tiles[r * 3 + c];
            p.setPen(QPen(shade(colour, 55), 0.8));
            p.setBrush(colour);
            p.drawRoundedRect(cell, 2.5, 2.5);
            p.setPen(Qt::NoPen);
            p.setBrush(shade(colour, 130));
            p.drawRect(QRectF(cell.left() + 1.5, cell.top() + 1.5, cell.width() - 3, 2));
        }

    // The quill: a cream feather lying from the top right to a dark nib at the bottom left.
    p.save();
    p.translate(34, 32);
    p.rotate(-45);
    QPainterPath vane;
    vane.moveTo(-22, 0);
    vane.cubicTo(-12, -9, 14, -10, 26, -1);
    vane.cubicTo(14, 6, -10, 7, -22, 0);
    QLinearGradient feather(0, -9, 0, 7);
    feather.setColorAt(0, QColor(255, 250, 232));
    feather.setColorAt(1, QColor(214, 196, 150));
    p.setPen(QPen(QColor(90, 70, 40), 1.1));
    p.setBrush(feather);
    p.drawPath(vane);
    p.setPen(QPen(QColor(120, 92, 52), 0.7));
    for (int k = 0; k < 6; ++k) { // barbs
        const double x = -14 + k * 6.5;
        p.drawLine(QPointF(x, 0), QPointF(x + 4, -5.5 + (k == 5 ? 2.5 : 0)));
        p.drawLine(QPointF(x, 0), QPointF(x + 4, 4.5 - (k == 5 ? 2 : 0)));
    }
    p.setPen(QPen(QColor(90, 70, 40), 1.3)); // the shaft and the nib
    p.drawLine(QPointF(-28, 0), QPointF(24, 0));
    QPainterPath nib;
    nib.moveTo(-28, -1.6);
    nib.lineTo(-34, 0);
    nib.lineTo(-28, 1.6);
    nib.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 36));
    p.drawPath(nib);
    p.restore();
    p.end();
    return image;
}

void writeIcons(const std::string &dir)
{
    for (int size : kIconSizes) {
        const QString folder = QString::fromStdString(dir) + QString("/%1x%1/apps").arg(size);
        const QString path = folder + "/quillmoss-editor.png";
        if (!QDir().mkpath(folder) || !drawIcon(size).save(path, "PNG"))
            throw Error("EInOutError", "Cannot write the icon " + path.toStdString());
    }
}

} // namespace qm::gamegen
