#include "editorart.h"

#include "art.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace qm::gamegen {

namespace {

const QColor kPanelDark(22, 30, 38);
const QColor kPanelMid(44, 58, 70);
const QColor kPanelLight(92, 114, 128);
const QColor kMoss(120, 176, 84);
const QColor kMossDark(58, 104, 52);
const QColor kText(214, 228, 200);

// A palette slot: a dark recessed square that shows behind tiles with transparent parts.
QImage slotPicture()
{
    QImage img = newLayer(kSlotSize, kSlotSize);
    QPainter p;
    beginPainter(p, img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient g(0, 0, 0, kSlotSize);
    g.setColorAt(0, QColor(14, 20, 26));
    g.setColorAt(1, QColor(30, 40, 50));
    p.fillRect(0, 0, kSlotSize, kSlotSize, g);
    // A faint dot grid in the middle marks an empty slot.
    p.setPen(QColor(40, 54, 64));
    for (int y = 8; y < kSlotSize; y += 8)
        for (int x = 8; x < kSlotSize; x += 8)
            p.drawPoint(x, y);
    p.setPen(QColor(6, 8, 10));
    p.drawLine(0, 0, kSlotSize - 1, 0);
    p.drawLine(0, 0, 0, kSlotSize - 1);
    p.setPen(QColor(70, 88, 100));
    p.drawLine(1, kSlotSize - 1, kSlotSize - 1, kSlotSize - 1);
    p.drawLine(kSlotSize - 1, 1, kSlotSize - 1, kSlotSize - 1);
    return img;
}

// A raised button with an arrow pointing up (or down) in the middle.
void drawArrowButton(QPainter &p, const QRect &r, bool up)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient g(0, r.top(), 0, r.bottom());
    g.setColorAt(0, QColor(78, 98, 112));
    g.setColorAt(1, QColor(46, 60, 72));
    p.fillRect(r, g);
    p.setPen(QColor(128, 150, 160));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(16, 22, 28));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setRenderHint(QPainter::Antialiasing, true);
    const double cx = r.left() + r.width() / 2.0;
    const double h = r.height() - 6;
    const double top = r.top() + 3, bottom = top + h;
    QPolygonF arrow;
    if (up)
        arrow << QPointF(cx, top) << QPointF(cx + h * 1.2, bottom) << QPointF(cx - h * 1.2, bottom);
    else
        arrow << QPointF(cx - h * 1.2, top) << QPointF(cx + h * 1.2, top) << QPointF(cx, bottom);
    p.setPen(QPen(QColor(20, 40, 16), 1));
    p.setBrush(kMoss);
    p.drawPolygon(arrow);
    // Small ticks at both ends of the button say "scroll".
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kMossDark);
    for (int k = 0; k < 3; ++k) {
        const int y = r.top() + 3 + k * (r.height() - 6) / 2;
        p.drawLine(r.left() + 8, y, r.left() + 18, y);
        p.drawLine(r.right() - 18, y, r.right() - 8, y);
    }
}

// A sprig of moss: a curved stem with leaves, the program's emblem.
void drawEmblem(QPainter &p, double cx, double cy)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient glow(cx, cy, 26);
    glow.setColorAt(0, QColor(70, 110, 70));
    glow.setColorAt(1, QColor(30, 44, 46));
    p.setPen(QPen(QColor(12, 18, 22), 2));
    p.setBrush(glow);
    p.drawEllipse(QPointF(cx, cy), 24, 24);
    QPainterPath stem;
    stem.moveTo(cx - 4, cy + 18);
    stem.cubicTo(cx - 2, cy + 4, cx + 8, cy - 4, cx + 2, cy - 18);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 120, 70), 2.5));
    p.drawPath(stem);
    p.setPen(QPen(QColor(30, 60, 30), 1));
    const QPointF leaves[] = {{cx - 9, cy + 8}, {cx + 9, cy + 2}, {cx - 7, cy - 6}, {cx + 10, cy - 12}, {cx - 2, cy - 19}};
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(leaves[i]);
        p.rotate(i % 2 ? 30 : -30);
        p.setBrush(i % 2 ? kMoss : shade(kMoss, 120));
        p.drawEllipse(QPointF(0, 0), 7, 3.5);
        p.restore();
    }
}

QImage panelPicture()
{
    QImage img = newLayer(kPanelWidth, kPanelHeight);
    QPainter p;
    beginPainter(p, img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient g(0, 0, kPanelWidth, 0);
    g.setColorAt(0, QColor(54, 70, 82));
    g.setColorAt(1, QColor(34, 46, 56));
    p.fillRect(img.rect(), g);
    // Brushed texture: faint horizontal lines.
    Noise noise(7);
    for (int y = 0; y < kPanelHeight; y += 2) {
        p.setPen(QColor(255, 255, 255, 6 + noise.below(8)));
        p.drawLine(0, y, kPanelWidth - 1, y);
    }
    // Outer bevel: light at the left edge, dark at the bottom.
    p.setPen(kPanelDark);
    p.drawLine(0, 0, 0, kPanelHeight - 1);
    p.setPen(kPanelLight);
    p.drawLine(1, 0, 1, kPanelHeight - 1);
    p.drawLine(1, 0, kPanelWidth - 1, 0);

    // Header: emblem, name and the palette's title.
    drawEmblem(p, kPanelWidth / 2.0, 30);
    drawPixelTextCentred(img, "QUILLMOSS", kPanelWidth / 2, 58, kText);
    p.setPen(kMossDark);
    p.drawLine(12, 68, kPanelWidth - 12, 68);
    drawPixelTextCentred(img, "TILES", kPanelWidth / 2, 72, kMoss);

    // Scroll-up button over y 84..95 (the scroll-up band is y 84..99).
    drawArrowButton(p, QRect(3, 84, kPanelWidth - 6, 12), true);

    // The well that holds the slots: a dark frame around and between the slot windows.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect well(kSlotLeft - 1, kSlotTop - 1, kSlotPitch * kSlotColumns + 1, kSlotPitch * kSlotRows + 1);
    p.fillRect(well, QColor(10, 14, 18));
    // Slot windows: transparent, so the slots and tiles drawn before the panel show.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    for (int i = 0; i < kSlotRows; ++i)
        for (int k = 0; k < kSlotColumns; ++k)
            p.fillRect(kSlotLeft + kSlotPitch * k, kSlotTop + kSlotPitch * i, kSlotSize, kSlotSize, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Scroll-down button over y 427..443 (the scroll-down band is y 426..444).
    drawArrowButton(p, QRect(3, 427, kPanelWidth - 6, 17), false);

    // Footer: a moss strip and the version.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kMossDark);
    p.drawLine(12, 450, kPanelWidth - 12, 450);
    drawPixelTextCentred(img, "V1.2", kPanelWidth / 2, 456, kText);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 9; ++k) {
        p.setBrush(k % 2 ? kMoss : kMossDark);
        p.drawEllipse(QPointF(10 + k * 12.5, 474), 6, 3);
    }
    p.end();
    return img;
}

// The frame around the carried tile: drawn one pixel up and left of the pointer, so its one-pixel ring
// lies just outside the 40 x 40 tile, with corner brackets over the tile's corners.
QImage carriedFrame()
{
    QImage img = newLayer(42, 42);
    QPainter p;
    beginPainter(p, img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(250, 250, 210));
    p.drawRect(0, 0, 41, 41);
    const QColor bracket(255, 204, 40);
    const int len = 9;
    for (int cx : {0, 1})
        for (int cy : {0, 1}) {
            const int x0 = cx ? 41 - 2 : 1, y0 = cy ? 41 - 2 : 1;
            const int dx = cx ? -1 : 1, dy = cy ? -1 : 1;
            for (int t = 0; t < 2; ++t) {
                p.setPen(bracket);
                p.drawLine(x0 + dx * t, y0, x0 + dx * t, y0 + dy * len);
                p.drawLine(x0, y0 + dy * t, x0 + dx * len, y0 + dy * t);
            }
        }
    p.end();
    return img;
}

// Pointer shapes are white with a black outline, painted without antialiasing so they stay crisp.
QImage pointerPicture(int w, int h, const QPolygonF &shape, const QColor &fill = QColor(255, 255, 255))
{
    QImage img = newLayer(w, h);
    QPainter p;
    beginPainter(p, img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(fill);
    p.drawPolygon(shape);
    p.end();
    return img;
}

} // namespace

std::vector<PictureEntry> editorPictures()
{
    std::vector<PictureEntry> out;
    out.push_back(pictureFromLayer("p", slotPicture()));
    out.push_back(pictureFromLayer("fondtop", panelPicture()));
    out.push_back(pictureFromLayer("mousex", carriedFrame()));
    const QColor scrollFill(255, 226, 120);
    // Drawn at the pointer: the tip at the top-left pixel, pointing up.
    out.push_back(pictureFromLayer(
        "mouseup", pointerPicture(16, 28,
                                  QPolygonF({{0, 0}, {13, 13}, {6, 13}, {6, 26}, {0, 26}}), scrollFill)));
    // Drawn 27 pixels left of the pointer near the bottom edge, where only its top rows may show: a wide
    // triangle pointing down whose broad side lies on top, centred on the pointer.
    out.push_back(pictureFromLayer(
        "mousedown", pointerPicture(55, 20, QPolygonF({{1, 0}, {53, 0}, {27, 18}}), scrollFill)));
    // Drawn at the pointer: the tip at the top-left pixel, pointing left.
    out.push_back(pictureFromLayer(
        "mouseleft", pointerPicture(28, 16,
                                    QPolygonF({{0, 0}, {13, 13}, {13, 6}, {26, 6}, {26, 0}}), scrollFill)));
    // Drawn 27 pixels left of the pointer: the tip at the top-right, pointing right.
    out.push_back(pictureFromLayer(
        "mouseright", pointerPicture(28, 16,
                                     QPolygonF({{27, 0}, {14, 13}, {14, 6}, {1, 6}, {1, 0}}), scrollFill)));
    // The ordinary arrow over the panel, its tip at the top-left pixel.
    out.push_back(pictureFromLayer(
        "mouse", pointerPicture(13, 20,
                                QPolygonF({{0, 0}, {11, 11}, {6, 11}, {9, 18}, {7, 19}, {4, 12}, {0, 16}}))));
    return out;
}

} // namespace qm::gamegen
