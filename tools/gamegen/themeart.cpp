#include "themeart.h"

#include "art.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace qm::gamegen {

const std::vector<ThemeInfo> &themes()
{
    static const std::vector<ThemeInfo> list = {
        {ThemeId::Computer, "computer.dxg", "Computer"},
        {ThemeId::Forest, "forest.dxg", "Forest"},
        {ThemeId::Kitchen, "kitchen.dxg", "Kitchen"},
        {ThemeId::Underground, "underground.dxg", "Underground"},
    };
    return list;
}

TileGeometry tileGeometry(int tile)
{
    switch (tile) {
    case 0: return {640, 480, 0, 0};
    case 29: return {80, 40, 40, 40};   // horizontal strip: two squares
    case 31: return {40, 80, 40, 40};   // vertical strip: two squares
    case 30: return {280, 80, 40, 40};  // 7 x 2 block
    case 36: return {280, 40, 40, 40};  // 7 x 1 block
    case 37: return {280, 80, 40, 40};  // 7 x 2 block with a 2-square top
    case 40: return {240, 120, 40, 40}; // 6 x 3 block
    case 63: return {40, 120, 0, 0};    // exit, three squares high
    case 64: return {40, 80, 0, 0};     // two squares high; 65 is its lower half
    case 66:
    case 67: return {40, 120, 0, 0};    // three squares high
    case 68: return {120, 120, 0, 0};   // 3 x 3 object
    default: return {};
    }
}

const char *tileName(int tile)
{
    static const char *const names[kThemePictureCount] = {
        "background", "spare1", "spare2", "spare3", "spare4", "spare5", "spare6", "spare7", "spare8", "spare9",
        "spare10", "filler", "infotron", "gem", "key", "empty", "base", "lockeddoor", "lever", "reddisk",
        "boulder", "orangedisk", "yellowdisk", "crate", "teleporter", "pit", "ice", "water", "chip",
        "chiphorizontal", "bigblock", "chipvertical", "wall", "frontwall", "lightwall", "stripedwall",
        "longblock", "towerblock", "spinner", "spark", "largeblock", "hardwall", "window", "lamp",
        "pipehorizontal", "pipevertical", "pipecross", "barrel", "plant", "portright", "portdown", "portleft",
        "portup", "terminal", "hourglass", "heart", "bracedwall", "star", "coin", "mushroom", "danger", "flag",
        "bolt", "exit", "tall", "tallbottom", "pillar", "tree", "bigobject", "bug", "portupdown",
        "portleftright", "portfourway", "specialportright", "specialportdown", "specialportleft",
        "specialportup", "invisiblewall",
    };
    return tile >= 0 && tile < kThemePictureCount ? names[tile] : "";
}

namespace {

constexpr double kPi = std::numbers::pi;

struct Style {
    ThemeId id;
    QColor bgTop, bgBottom;
    QColor base, baseDark, baseLight;
    QColor wall, wallDark, wallLight;
    QColor metal;
    QColor accent;  // the infotron's glow
    QColor accent2; // a second highlight colour
    QColor ink;     // outlines
    QColor tick;    // the marks of an empty square
    QColor wood;
    QColor enemy1, enemy2;
};

Style styleOf(ThemeId id)
{
    switch (id) {
    case ThemeId::Computer:
        return {id, QColor(8, 14, 34), QColor(18, 30, 58), QColor(30, 104, 62), QColor(18, 64, 40),
                QColor(96, 176, 110), QColor(96, 106, 122), QColor(52, 58, 70), QColor(160, 170, 186),
                QColor(176, 186, 198), QColor(255, 70, 170), QColor(60, 220, 255), QColor(6, 10, 20),
                QColor(70, 130, 200), QColor(150, 110, 70), QColor(230, 60, 60), QColor(250, 230, 60)};
    case ThemeId::Forest:
        return {id, QColor(120, 186, 230), QColor(214, 236, 196), QColor(110, 78, 46), QColor(70, 48, 28),
                QColor(96, 160, 60), QColor(128, 130, 118), QColor(74, 76, 70), QColor(180, 182, 168),
                QColor(150, 150, 140), QColor(255, 206, 40), QColor(250, 120, 40), QColor(30, 26, 16),
                QColor(250, 250, 230), QColor(140, 94, 52), QColor(60, 40, 90), QColor(240, 190, 30)};
    case ThemeId::Kitchen:
        return {id, QColor(246, 232, 200), QColor(232, 208, 168), QColor(226, 176, 98), QColor(170, 118, 56),
                QColor(250, 224, 160), QColor(190, 214, 226), QColor(120, 146, 164), QColor(240, 248, 252),
                QColor(200, 204, 210), QColor(232, 40, 70), QColor(70, 170, 90), QColor(60, 36, 24),
                QColor(190, 140, 90), QColor(176, 112, 60), QColor(40, 40, 46), QColor(150, 90, 40)};
    case ThemeId::Underground:
        return {id, QColor(26, 16, 30), QColor(44, 30, 26), QColor(96, 66, 42), QColor(60, 40, 26),
                QColor(140, 104, 70), QColor(92, 86, 84), QColor(50, 46, 46), QColor(144, 136, 130),
                QColor(150, 140, 130), QColor(70, 230, 226), QColor(250, 160, 50), QColor(14, 10, 10),
                QColor(150, 120, 170), QColor(120, 84, 50), QColor(120, 60, 140), QColor(200, 230, 90)};
    }
    return {};
}

// ---- small drawing helpers --------------------------------------------------------------------

void pen(QPainter &p, const QColor &c, double w = 1.5)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// A ball lit from the top left.
void ball(QPainter &p, QPointF c, double r, const QColor &base, const QColor &line)
{
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.4), r * 1.3);
    g.setColorAt(0, shade(base, 150));
    g.setColorAt(0.5, base);
    g.setColorAt(1, shade(base, 45));
    pen(p, line, 1.5);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

// A square block with a raised bevel.
void bevelBlock(QPainter &p, const QRectF &r, const QColor &fill, double depth = 3)
{
    p.setPen(Qt::NoPen);
    p.setBrush(shade(fill, 135));
    p.drawRect(r);
    p.setBrush(shade(fill, 60));
    QPolygonF lower;
    lower << r.bottomLeft() << r.bottomRight() << r.topRight() << QPointF(r.right() - depth, r.top() + depth)
          << QPointF(r.right() - depth, r.bottom() - depth) << QPointF(r.left() + depth, r.bottom() - depth);
    p.drawPolygon(lower);
    p.setBrush(fill);
    p.drawRect(r.adjusted(depth, depth, -depth, -depth));
}

void eyes(QPainter &p, QPointF c, double spread, double size, const QColor &pupil = QColor(10, 10, 10))
{
    p.setPen(Qt::NoPen);
    for (int s : {-1, 1}) {
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(c + QPointF(s * spread, 0), size, size * 1.2);
        p.setBrush(pupil);
        p.drawEllipse(c + QPointF(s * spread + size * 0.3, size * 0.2), size * 0.5, size * 0.6);
    }
}

QPolygonF star(QPointF c, double outer, double inner, int points, double rotation = -90)
{
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
        const double a = (rotation + i * 180.0 / points) * kPi / 180;
        const double r = i % 2 ? inner : outer;
        poly << c + QPointF(std::cos(a) * r, std::sin(a) * r);
    }
    return poly;
}

// A disk seen from above: a flat cylinder with a hub and a label.
void diskTile(QPainter &p, const Style &s, const QColor &colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(shade(colour, 50));
    p.drawEllipse(QPointF(20, 22.5), 17, 15.5);
    ball(p, QPointF(20, 20), 16, colour, s.ink);
    pen(p, shade(colour, 60), 1);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(20, 20), 11, 11);
    p.setBrush(QColor(235, 235, 235));
    pen(p, s.ink, 1);
    p.drawRoundedRect(QRectF(13, 9, 14, 6), 1.5, 1.5);
    p.setBrush(shade(colour, 40));
    p.drawEllipse(QPointF(20, 22), 3.5, 3.5);
}

// ---- backgrounds -------------------------------------------------------------------------------

void backgroundComputer(QPainter &p, const Style &s)
{
    QLinearGradient g(0, 0, 0, 480);
    g.setColorAt(0, s.bgTop);
    g.setColorAt(1, s.bgBottom);
    p.fillRect(0, 0, 640, 480, g);
    // A fine grid and circuit traces with pads.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(26, 40, 72));
    for (int x = 0; x < 640; x += 20)
        p.drawLine(x, 0, x, 479);
    for (int y = 0; y < 480; y += 20)
        p.drawLine(0, y, 639, y);
    p.setRenderHint(QPainter::Antialiasing, true);
    Noise n(11);
    for (int k = 0; k < 46; ++k) {
        double x = 20 * n.below(32), y = 20 * n.below(24);
        QPainterPath path;
        path.moveTo(x, y);
        for (int seg = 0; seg < 4; ++seg) {
            const int len = 20 * (1 + n.below(5));
            const int dir = n.below(4);
            const double dx = dir == 0 ? len : dir == 1 ? -len : 0, dy = dir == 2 ? len : dir == 3 ? -len : 0;
            x += dx;
            y += dy;
            path.lineTo(x, y);
        }
        const QColor trace = k % 5 == 0 ? QColor(40, 130, 170) : QColor(34, 70, 112);
        p.setBrush(Qt::NoBrush);
        pen(p, trace, 2);
        p.drawPath(path);
        p.setBrush(s.bgTop);
        pen(p, trace, 1.5);
        p.drawEllipse(path.pointAtPercent(0), 3.5, 3.5);
        p.setBrush(k % 5 == 0 ? QColor(90, 220, 255) : trace);
        p.drawEllipse(path.currentPosition(), 3, 3);
    }
}

void backgroundForest(QPainter &p, const Style &s)
{
    QLinearGradient g(0, 0, 0, 480);
    g.setColorAt(0, s.bgTop);
    g.setColorAt(0.7, s.bgBottom);
    g.setColorAt(1, QColor(170, 206, 150));
    p.fillRect(0, 0, 640, 480, g);
    // Sun and soft clouds.
    QRadialGradient sun(520, 80, 70);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(0.4, QColor(255, 240, 170, 200));
    sun.setColorAt(1, QColor(255, 240, 170, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(520, 80), 70, 70);
    p.setBrush(QColor(255, 255, 255, 150));
    for (auto [cx, cy] : {std::pair{120.0, 70.0}, {300.0, 40.0}, {420.0, 130.0}}) {
        p.drawEllipse(QPointF(cx, cy), 40, 12);
        p.drawEllipse(QPointF(cx + 22, cy - 8), 26, 12);
    }
    // Three ranges of hills with fir trees, farther ones paler.
    Noise n(23);
    const QColor ranges[] = {QColor(140, 180, 160), QColor(90, 150, 100), QColor(50, 110, 60)};
    for (int layer = 0; layer < 3; ++layer) {
        const double base = 260 + layer * 70;
        QPainterPath hill;
        hill.moveTo(0, 480);
        for (int x = 0; x <= 640; x += 16)
            hill.lineTo(x, base - 24 * std::sin((x + layer * 137) / 90.0) - 10 * std::sin(x / 31.0 + layer));
        hill.lineTo(640, 480);
        hill.closeSubpath();
        p.setBrush(ranges[layer]);
        p.drawPath(hill);
        const double size = 18 + layer * 10;
        p.setBrush(shade(ranges[layer], 80));
        for (int k = 0; k < 14 - layer * 3; ++k) {
            const double x = n.below(640);
            const double y = base - 24 * std::sin((x + layer * 137) / 90.0) - 10 * std::sin(x / 31.0 + layer) + 6;
            QPolygonF tree;
            tree << QPointF(x, y - size * 2.2) << QPointF(x + size * 0.6, y) << QPointF(x - size * 0.6, y);
            p.drawPolygon(tree);
        }
    }
}

void backgroundKitchen(QPainter &p, const Style &s)
{
    // Wall tiles above a wooden wainscot, a window with curtains and a shelf of jars.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = 0; y < 330; y += 32)
        for (int x = 0; x < 640; x += 32) {
            const bool alt = ((x + y) / 32) % 2;
            p.fillRect(x, y, 32, 32, alt ? s.bgTop : shade(s.bgTop, 96));
            p.setPen(QColor(210, 196, 170));
            p.drawRect(x, y, 31, 31);
        }
    for (int x = 0; x < 640; x += 40) {
        p.fillRect(x, 330, 40, 150, QColor(176, 120, 70));
        p.fillRect(x + 2, 336, 36, 138, QColor(160, 106, 60));
        p.setPen(QColor(120, 78, 40));
        p.drawLine(x, 330, x, 479);
    }
    p.fillRect(0, 326, 640, 8, QColor(120, 78, 40));
    p.setRenderHint(QPainter::Antialiasing, true);
    // Window.
    p.setPen(QPen(QColor(250, 250, 250), 8));
    QLinearGradient sky(0, 40, 0, 200);
    sky.setColorAt(0, QColor(130, 190, 240));
    sky.setColorAt(1, QColor(210, 236, 250));
    p.setBrush(sky);
    p.drawRect(QRectF(230, 50, 180, 150));
    p.setPen(QPen(QColor(250, 250, 250), 5));
    p.drawLine(QPointF(320, 50), QPointF(320, 200));
    p.drawLine(QPointF(230, 125), QPointF(410, 125));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 70, 70));
    for (int side : {0, 1}) {
        QPainterPath curtain;
        const double x0 = side ? 430 : 210, dir = side ? -1 : 1;
        curtain.moveTo(x0, 36);
        curtain.lineTo(x0 + dir * 50, 36);
        curtain.cubicTo(x0 + dir * 30, 110, x0 + dir * 40, 170, x0 + dir * 20, 220);
        curtain.lineTo(x0, 220);
        curtain.closeSubpath();
        p.drawPath(curtain);
    }
    p.setBrush(QColor(255, 255, 255, 90));
    for (int k = 0; k < 8; ++k)
        p.drawRect(QRectF(210 + k * 27.5, 36, 6, 184));
    // Shelf with jars.
    p.setBrush(QColor(150, 96, 50));
    p.drawRect(QRectF(40, 150, 140, 8));
    p.drawRect(QRectF(460, 150, 140, 8));
    const QColor jars[] = {QColor(230, 120, 60), QColor(120, 170, 80), QColor(220, 200, 80), QColor(170, 90, 150)};
    for (int k = 0; k < 6; ++k) {
        const double x = (k < 3 ? 50 : 470) + (k % 3) * 44;
        p.setBrush(jars[k % 4]);
        pen(p, QColor(90, 60, 40), 1.5);
        p.drawRoundedRect(QRectF(x, 114, 30, 36), 6, 6);
        p.setBrush(QColor(240, 240, 240));
        p.drawRect(QRectF(x + 2, 108, 26, 7));
    }
}

void backgroundUnderground(QPainter &p, const Style &s)
{
    QLinearGradient g(0, 0, 0, 480);
    g.setColorAt(0, s.bgTop);
    g.setColorAt(1, s.bgBottom);
    p.fillRect(0, 0, 640, 480, g);
    Noise n(41);
    p.setPen(Qt::NoPen);
    // Rock strata and boulders in the back wall.
    for (int k = 0; k < 160; ++k) {
        const double x = n.below(660) - 10, y = n.below(500) - 10, r = 6 + n.below(26);
        const int tone = 30 + n.below(30);
        p.setBrush(QColor(tone + 14, tone, tone + 6, 160));
        p.drawEllipse(QPointF(x, y), r * 1.4, r);
    }
    // Stalactites along the top and stalagmites along the bottom.
    p.setBrush(QColor(60, 46, 50));
    for (int x = 0; x < 640; x += 22 + n.below(20)) {
        const double h = 30 + n.below(60);
        QPolygonF t;
        t << QPointF(x - 10, 0) << QPointF(x + 10, 0) << QPointF(x + 1, h);
        p.drawPolygon(t);
    }
    p.setBrush(QColor(54, 40, 34));
    for (int x = 8; x < 640; x += 30 + n.below(30)) {
        const double h = 20 + n.below(40);
        QPolygonF t;
        t << QPointF(x - 12, 480) << QPointF(x + 12, 480) << QPointF(x, 480 - h);
        p.drawPolygon(t);
    }
    // Glowing crystals here and there.
    for (int k = 0; k < 9; ++k) {
        const double x = 40 + n.below(560), y = 60 + n.below(360);
        QRadialGradient glow(x, y, 28);
        glow.setColorAt(0, QColor(80, 230, 220, 110));
        glow.setColorAt(1, QColor(80, 230, 220, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(x, y), 28, 28);
        p.setBrush(QColor(120, 240, 230));
        QPolygonF c;
        c << QPointF(x, y - 9) << QPointF(x + 4, y) << QPointF(x, y + 7) << QPointF(x - 4, y);
        p.drawPolygon(c);
    }
}

// ---- the theme's own textures ------------------------------------------------------------------

void baseTile(QPainter &p, const Style &s)
{
    p.fillRect(QRectF(0, 0, 40, 40), s.base);
    Noise n(uint32_t(s.id) * 7 + 3);
    switch (s.id) {
    case ThemeId::Computer: {
        // Circuit board: traces, vias and solder pads.
        pen(p, s.baseLight, 1.5);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({{0, 10}, {12, 10}, {18, 16}, {18, 40}}));
        p.drawPolyline(QPolygonF({{40, 26}, {28, 26}, {24, 22}, {24, 0}}));
        p.drawLine(QPointF(0, 32), QPointF(10, 32));
        p.setBrush(s.baseDark);
        for (auto c : {QPointF(10, 32), QPointF(33, 8), QPointF(6, 22)})
            p.drawEllipse(c, 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 190, 110));
        p.drawRect(QRectF(29, 33, 6, 3));
        break;
    }
    case ThemeId::Forest:
        // Soil with grass tufts and pebbles.
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 18; ++k) {
            p.setBrush(k % 2 ? s.baseDark : shade(s.base, 120));
            p.drawEllipse(QPointF(n.below(40), n.below(40)), 1.5 + n.below(2), 1 + n.below(2));
        }
        pen(p, s.baseLight, 1.6);
        for (auto [x, y] : {std::pair{8.0, 12.0}, {26.0, 8.0}, {30.0, 30.0}, {12.0, 34.0}})
            for (int b = -1; b <= 1; ++b)
                p.drawLine(QPointF(x, y), QPointF(x + b * 3, y - 6 + std::abs(b)));
        break;
    case ThemeId::Kitchen:
        // Sponge cake: a golden crumb with holes and a line of cream.
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 22; ++k) {
            p.setBrush(k % 3 ? s.baseDark : s.baseLight);
            p.drawEllipse(QPointF(n.below(40), n.below(40)), 1 + n.below(2), 1 + n.below(2));
        }
        p.setBrush(QColor(255, 246, 230));
        p.drawRect(QRectF(0, 18, 40, 4));
        break;
    case ThemeId::Underground:
        // Dirt with stones and roots.
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 14; ++k) {
            p.setBrush(k % 2 ? s.baseDark : s.baseLight);
            p.drawEllipse(QPointF(n.below(40), n.below(40)), 2 + n.below(3), 1.5 + n.below(2));
        }
        pen(p, QColor(170, 130, 90), 1.2);
        p.setBrush(Qt::NoBrush);
        QPainterPath root;
        root.moveTo(0, 6);
        root.cubicTo(12, 10, 20, 2, 40, 12);
        p.drawPath(root);
        break;
    }
    p.setPen(QPen(shade(s.base, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawRect(0, 0, 39, 39);
}

// The wall surface every wall tile starts from.
void wallSurface(QPainter &p, const Style &s, const QRectF &r, int variant)
{
    switch (s.id) {
    case ThemeId::Computer:
        bevelBlock(p, r, s.wall, 3);
        p.setBrush(s.wallLight);
        p.setPen(Qt::NoPen);
        for (auto c : {r.topLeft() + QPointF(6, 6), r.topRight() + QPointF(-6, 6), r.bottomLeft() + QPointF(6, -6),
                       r.bottomRight() + QPointF(-6, -6)})
            p.drawEllipse(c, 1.8, 1.8);
        break;
    case ThemeId::Forest: {
        bevelBlock(p, r, s.wall, 2.5);
        // Mossy top.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 140, 50));
        QPainterPath moss;
        moss.moveTo(r.left(), r.top());
        moss.lineTo(r.right(), r.top());
        moss.lineTo(r.right(), r.top() + 5);
        for (double x = r.right(); x > r.left(); x -= 6)
            moss.quadTo(x - 3, r.top() + 10 + (int(x) % 3), x - 6, r.top() + 5);
        moss.closeSubpath();
        p.drawPath(moss);
        break;
    }
    case ThemeId::Kitchen:
        p.setPen(QPen(s.wallDark, 1));
        p.setBrush(s.wall);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(Qt::NoPen);
        p.setBrush(s.wallLight);
        p.drawRect(QRectF(r.left() + 3, r.top() + 3, r.width() - 12, 3));
        p.drawRect(QRectF(r.left() + 3, r.top() + 3, 3, r.height() - 12));
        break;
    case ThemeId::Underground: {
        p.setPen(Qt::NoPen);
        p.setBrush(s.wallDark);
        p.drawRect(r);
        Noise n(uint32_t(variant) + 101);
        for (int k = 0; k < 5; ++k) {
            const QRectF stone(r.left() + n.below(int(r.width()) - 16), r.top() + n.below(int(r.height()) - 14),
                               14 + n.below(12), 12 + n.below(8));
            QRadialGradient g(stone.center() - QPointF(3, 3), stone.width());
            g.setColorAt(0, s.wallLight);
            g.setColorAt(1, s.wall);
            p.setBrush(g);
            p.drawEllipse(stone);
        }
        break;
    }
    }
}

// ---- the palette tiles -------------------------------------------------------------------------

void infotron(QPainter &p, const Style &s)
{
    QRadialGradient glow(20, 20, 19);
    glow.setColorAt(0, shade(s.accent, 140));
    glow.setColorAt(0.6, s.accent);
    glow.setColorAt(1, shade(s.accent, 50));
    pen(p, s.ink, 1.5);
    p.setBrush(glow);
    p.drawEllipse(QPointF(20, 20), 12, 12);
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 3; ++k) {
        p.save();
        p.translate(20, 20);
        p.rotate(k * 60);
        pen(p, shade(s.accent, 160), 1.6);
        p.drawEllipse(QPointF(0, 0), 18, 6);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(16, 16), 3, 3);
}

void gem(QPainter &p, const Style &s)
{
    const QColor c = s.accent2;
    QPolygonF outline({{8, 15}, {14, 7}, {26, 7}, {32, 15}, {20, 34}});
    pen(p, s.ink, 1.5);
    p.setBrush(c);
    p.drawPolygon(outline);
    pen(p, shade(c, 60), 1);
    p.drawLine(QPointF(8, 15), QPointF(32, 15));
    p.drawLine(QPointF(14, 7), QPointF(17, 15));
    p.drawLine(QPointF(26, 7), QPointF(23, 15));
    p.drawLine(QPointF(17, 15), QPointF(20, 34));
    p.drawLine(QPointF(23, 15), QPointF(20, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(shade(c, 170));
    p.drawPolygon(QPolygonF({{14, 8}, {17, 14}, {11, 14}}));
}

void keyTile(QPainter &p, const Style &s)
{
    const QColor gold(240, 196, 50);
    pen(p, s.ink, 1.5);
    p.setBrush(gold);
    p.drawEllipse(QPointF(12, 20), 7, 7);
    p.drawRect(QRectF(18, 18, 16, 4));
    p.drawRect(QRectF(26, 22, 3, 5));
    p.drawRect(QRectF(31, 22, 3, 7));
    p.setBrush(s.id == ThemeId::Kitchen ? s.bgTop : s.ink);
    p.drawEllipse(QPointF(12, 20), 2.5, 2.5);
}

void emptyTile(QPainter &p, const Style &s)
{
    // Transparent but for small corner ticks, so the background shows and the grid stays readable.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(s.tick);
    for (auto [x, y, dx, dy] : {std::tuple{0, 0, 1, 1}, {39, 0, -1, 1}, {0, 39, 1, -1}, {39, 39, -1, -1}}) {
        p.drawLine(x, y, x + dx * 3, y);
        p.drawLine(x, y, x, y + dy * 3);
    }
}

void lockedDoor(QPainter &p, const Style &s)
{
    bevelBlock(p, QRectF(2, 2, 36, 36), s.wood, 3);
    pen(p, shade(s.wood, 60), 1);
    for (int x : {13, 20, 27})
        p.drawLine(QPointF(x, 5), QPointF(x, 35));
    p.setBrush(QColor(240, 196, 50));
    pen(p, s.ink, 1.2);
    p.drawRoundedRect(QRectF(14, 12, 12, 16), 2, 2);
    p.setBrush(s.ink);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(20, 18), 2.5, 2.5);
    p.drawRect(QRectF(19, 19, 2, 6));
}

void lever(QPainter &p, const Style &s)
{
    bevelBlock(p, QRectF(6, 26, 28, 10), s.metal, 2);
    pen(p, s.ink, 3);
    p.drawLine(QPointF(20, 30), QPointF(30, 9));
    ball(p, QPointF(30, 9), 5, QColor(230, 50, 40), s.ink);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 60));
    p.drawEllipse(QPointF(10, 31), 2.5, 2.5);
}

void crate(QPainter &p, const Style &s)
{
    const QColor c = s.id == ThemeId::Computer ? QColor(90, 110, 140) : s.wood;
    bevelBlock(p, QRectF(3, 3, 34, 34), c, 4);
    pen(p, shade(c, 55), 2);
    p.drawLine(QPointF(7, 7), QPointF(33, 33));
    p.drawLine(QPointF(33, 7), QPointF(7, 33));
}

void teleporter(QPainter &p, const Style &s)
{
    for (int k = 0; k < 4; ++k) {
        pen(p, mix(s.accent2, QColor(255, 255, 255), k / 4.0), 2);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(20, 24), 16 - k * 4, 9 - k * 2.2);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    for (int k = 0; k < 5; ++k)
        p.drawEllipse(QPointF(10 + k * 5, 8 + (k % 2) * 5), 1.5, 1.5);
}

void pit(QPainter &p, const Style &s)
{
    QRadialGradient g(20, 20, 18);
    g.setColorAt(0, QColor(0, 0, 0));
    g.setColorAt(0.7, QColor(20, 16, 16));
    g.setColorAt(1, s.baseDark);
    pen(p, s.baseDark, 2);
    p.setBrush(g);
    p.drawEllipse(QPointF(20, 20), 17, 15);
    pen(p, s.baseLight, 1);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 5, 34, 30), 200 * 16, 140 * 16);
}

void ice(QPainter &p, const Style &)
{
    QLinearGradient g(0, 0, 40, 40);
    g.setColorAt(0, QColor(230, 248, 255));
    g.setColorAt(1, QColor(150, 200, 236));
    p.setPen(QPen(QColor(110, 160, 210), 1));
    p.setBrush(g);
    p.drawRect(QRectF(0.5, 0.5, 39, 39));
    pen(p, QColor(255, 255, 255), 1.5);
    p.drawLine(QPointF(6, 14), QPointF(16, 6));
    p.drawLine(QPointF(10, 20), QPointF(24, 8));
    p.drawLine(QPointF(22, 34), QPointF(34, 24));
}

void water(QPainter &p, const Style &)
{
    QLinearGradient g(0, 0, 0, 40);
    g.setColorAt(0, QColor(60, 140, 220));
    g.setColorAt(1, QColor(20, 70, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(0, 0, 40, 40));
    pen(p, QColor(190, 230, 255), 1.6);
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 3; ++row) {
        QPainterPath wave;
        const double y = 9 + row * 11;
        wave.moveTo(0, y);
        for (int k = 0; k < 4; ++k)
            wave.quadTo(k * 10 + 5, y - 4, k * 10 + 10, y);
        p.drawPath(wave);
    }
}

// A chip body over rect with pins along its long sides (computer), or the theme's equivalent.
void chipBody(QPainter &p, const Style &s, const QRectF &r, bool horizontal, const char *label)
{
    switch (s.id) {
    case ThemeId::Computer: {
        pen(p, QColor(200, 200, 190), 2);
        const double len = horizontal ? r.width() : r.height();
        for (double t = 6; t < len - 2; t += 6) {
            if (horizontal) {
                p.drawLine(QPointF(r.left() + t, r.top() - 4), QPointF(r.left() + t, r.top()));
                p.drawLine(QPointF(r.left() + t, r.bottom()), QPointF(r.left() + t, r.bottom() + 4));
            } else {
                p.drawLine(QPointF(r.left() - 4, r.top() + t), QPointF(r.left(), r.top() + t));
                p.drawLine(QPointF(r.right(), r.top() + t), QPointF(r.right() + 4, r.top() + t));
            }
        }
        pen(p, s.ink, 1);
        p.setBrush(QColor(40, 42, 48));
        p.drawRoundedRect(r, 2, 2);
        p.setBrush(QColor(70, 72, 80));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(r.left() + 5, r.top() + 5), 2, 2);
        break;
    }
    case ThemeId::Forest: {
        // Logs: bark with end rings.
        pen(p, s.ink, 1.2);
        p.setBrush(QColor(120, 80, 44));
        p.drawRoundedRect(r, 8, 8);
        pen(p, QColor(86, 56, 30), 1.2);
        const double len = horizontal ? r.width() : r.height();
        for (double t = 8; t < len - 6; t += 9) {
            if (horizontal)
                p.drawLine(QPointF(r.left() + t, r.top() + 3), QPointF(r.left() + t + 4, r.bottom() - 3));
            else
                p.drawLine(QPointF(r.left() + 3, r.top() + t), QPointF(r.right() - 3, r.top() + t + 4));
        }
        p.setBrush(QColor(222, 186, 130));
        const QPointF end = horizontal ? QPointF(r.right() - 6, r.center().y()) : QPointF(r.center().x(), r.top() + 6);
        p.drawEllipse(end, 6, 6);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(end, 3, 3);
        break;
    }
    case ThemeId::Kitchen: {
        // Loaves and baguettes with scored tops.
        pen(p, QColor(110, 60, 20), 1.2);
        p.setBrush(QColor(210, 140, 60));
        p.drawRoundedRect(r, 10, 10);
        pen(p, QColor(250, 220, 160), 2);
        const double len = horizontal ? r.width() : r.height();
        for (double t = 10; t < len - 6; t += 12) {
            if (horizontal)
                p.drawLine(QPointF(r.left() + t, r.top() + 5), QPointF(r.left() + t + 6, r.bottom() - 5));
            else
                p.drawLine(QPointF(r.left() + 5, r.top() + t), QPointF(r.right() - 5, r.top() + t + 6));
        }
        break;
    }
    case ThemeId::Underground: {
        // Ore: dark rock with glinting veins.
        pen(p, s.ink, 1.2);
        p.setBrush(QColor(70, 64, 70));
        p.drawRoundedRect(r, 5, 5);
        Noise n(uint32_t(r.width() * 3 + r.height()));
        p.setPen(Qt::NoPen);
        for (int k = 0; k < int(r.width() * r.height() / 120); ++k) {
            p.setBrush(k % 2 ? QColor(230, 190, 60) : QColor(200, 120, 60));
            p.drawEllipse(QPointF(r.left() + 4 + n.below(int(r.width()) - 8), r.top() + 4 + n.below(int(r.height()) - 8)),
                          1.8, 1.8);
        }
        break;
    }
    }
    if (label && s.id == ThemeId::Computer)
        drawPixelTextCentred(*static_cast<QImage *>(p.device()), label, int(r.center().x()), int(r.center().y()) - 3,
                             QColor(200, 200, 200));
}

void lamp(QPainter &p, const Style &s)
{
    QRadialGradient glow(20, 18, 20);
    glow.setColorAt(0, QColor(255, 250, 200, 200));
    glow.setColorAt(1, QColor(255, 250, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(20, 18), 19, 19);
    ball(p, QPointF(20, 17), 8, QColor(255, 236, 140), s.ink);
    pen(p, s.ink, 1.2);
    p.setBrush(s.metal);
    p.drawRect(QRectF(16, 25, 8, 6));
    p.drawLine(QPointF(17, 33), QPointF(23, 33));
}

void window(QPainter &p, const Style &s)
{
    wallSurface(p, s, QRectF(0, 0, 40, 40), 42);
    pen(p, s.ink, 1.5);
    QLinearGradient g(0, 8, 0, 32);
    g.setColorAt(0, QColor(150, 210, 250));
    g.setColorAt(1, QColor(60, 120, 200));
    p.setBrush(g);
    p.drawRect(QRectF(9, 8, 22, 24));
    pen(p, shade(s.wall, 140), 2);
    p.drawLine(QPointF(20, 8), QPointF(20, 32));
    p.drawLine(QPointF(9, 20), QPointF(31, 20));
}

void pipe(QPainter &p, const Style &s, bool horizontal, bool vertical)
{
    const QColor c = s.metal;
    auto segment = [&](QRectF r, bool h) {
        QLinearGradient g = h ? QLinearGradient(0, r.top(), 0, r.bottom()) : QLinearGradient(r.left(), 0, r.right(), 0);
        g.setColorAt(0, shade(c, 60));
        g.setColorAt(0.35, shade(c, 150));
        g.setColorAt(1, shade(c, 50));
        pen(p, s.ink, 1);
        p.setBrush(g);
        p.drawRect(r);
    };
    if (horizontal)
        segment(QRectF(0, 13, 40, 14), true);
    if (vertical)
        segment(QRectF(13, 0, 14, 40), false);
    if (horizontal && !vertical) {
        segment(QRectF(4, 10, 5, 20), false);
        segment(QRectF(31, 10, 5, 20), false);
    } else if (vertical && !horizontal) {
        segment(QRectF(10, 4, 20, 5), true);
        segment(QRectF(10, 31, 20, 5), true);
    } else {
        ball(p, QPointF(20, 20), 9, c, s.ink);
        p.setBrush(QColor(220, 50, 40));
        p.drawEllipse(QPointF(20, 20), 4, 4);
    }
}

void barrel(QPainter &p, const Style &s)
{
    const QColor c = s.id == ThemeId::Computer ? QColor(200, 170, 40) : s.wood;
    QLinearGradient g(6, 0, 34, 0);
    g.setColorAt(0, shade(c, 60));
    g.setColorAt(0.4, shade(c, 140));
    g.setColorAt(1, shade(c, 50));
    pen(p, s.ink, 1.5);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(7, 4, 26, 33), 6, 4);
    pen(p, QColor(60, 60, 60), 2.5);
    p.drawLine(QPointF(8, 12), QPointF(32, 12));
    p.drawLine(QPointF(8, 29), QPointF(32, 29));
    if (s.id == ThemeId::Computer) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 20, 20));
        p.drawPolygon(QPolygonF({{20, 15}, {25, 25}, {15, 25}}));
    }
}

void plant(QPainter &p, const Style &s)
{
    pen(p, s.ink, 1.2);
    p.setBrush(QColor(190, 90, 50));
    p.drawPolygon(QPolygonF({{11, 26}, {29, 26}, {26, 38}, {14, 38}}));
    const QColor leaf = s.id == ThemeId::Underground ? QColor(120, 160, 120) : QColor(70, 160, 60);
    p.setBrush(leaf);
    for (int k = 0; k < 5; ++k) {
        p.save();
        p.translate(20, 24);
        p.rotate(-70 + k * 35);
        p.drawEllipse(QRectF(-3.5, -20, 7, 18));
        p.restore();
    }
}

// A port: a gate in a frame with an arrow showing the one way through.
void port(QPainter &p, const Style &s, int direction /* 0 right, 1 down, 2 left, 3 up */)
{
    const QColor frame = s.id == ThemeId::Kitchen ? QColor(150, 110, 80) : s.metal;
    pen(p, s.ink, 1.5);
    p.setBrush(frame);
    p.drawRoundedRect(QRectF(2, 2, 36, 36), 4, 4);
    p.setBrush(shade(s.accent2, 45));
    p.drawRoundedRect(QRectF(7, 7, 26, 26), 3, 3);
    p.save();
    p.translate(20, 20);
    p.rotate(direction * 90);
    p.setBrush(shade(s.accent2, 130));
    pen(p, s.ink, 1.2);
    p.drawPolygon(QPolygonF({{-10, -4}, {1, -4}, {1, -10}, {11, 0}, {1, 10}, {1, 4}, {-10, 4}}));
    p.restore();
}

// A port's frame and well, as port() draws them, without an arrow.
void portFrame(QPainter &p, const Style &s)
{
    const QColor frame = s.id == ThemeId::Kitchen ? QColor(150, 110, 80) : s.metal;
    pen(p, s.ink, 1.5);
    p.setBrush(frame);
    p.drawRoundedRect(QRectF(2, 2, 36, 36), 4, 4);
    p.setBrush(shade(s.accent2, 45));
    p.drawRoundedRect(QRectF(7, 7, 26, 26), 3, 3);
}

// A port open in several directions (bits 1 right, 2 down, 4 left, 8 up): an arrowhead at each open side.
void portSeveralWays(QPainter &p, const Style &s, int directions)
{
    portFrame(p, s);
    p.setBrush(shade(s.accent2, 130));
    pen(p, s.ink, 1.2);
    for (int k = 0; k < 4; ++k) {
        if (!(directions >> k & 1))
            continue;
        p.save();
        p.translate(20, 20);
        p.rotate(k * 90);
        p.drawPolygon(QPolygonF({{2, -8}, {12, 0}, {2, 8}}));
        p.restore();
    }
    p.setBrush(shade(s.accent2, 90));
    p.drawEllipse(QPointF(20, 20), 3, 3);
}

// A special port: the port of its direction with a ring in its corner, the sign of its settings.
void specialPort(QPainter &p, const Style &s, int direction)
{
    port(p, s, direction);
    pen(p, s.ink, 1);
    p.setBrush(QColor(240, 80, 200));
    p.drawEllipse(QPointF(31, 9), 4.5, 4.5);
    p.setBrush(QColor(255, 230, 250));
    p.drawEllipse(QPointF(31, 9), 1.8, 1.8);
}

// The bug: base with a small creature on it, sparks around.
void bugTile(QPainter &p, const Style &s)
{
    baseTile(p, s);
    pen(p, s.ink, 1.2);
    for (int k = -1; k <= 1; ++k) {
        p.drawLine(QPointF(16, 22 + k * 5), QPointF(9, 19 + k * 8));
        p.drawLine(QPointF(24, 22 + k * 5), QPointF(31, 19 + k * 8));
    }
    ball(p, QPointF(20, 23), 7, QColor(60, 200, 230), s.ink);
    p.setBrush(QColor(40, 150, 180));
    p.drawEllipse(QPointF(20, 14), 4, 3.5);
    pen(p, QColor(255, 250, 120), 1.5);
    p.drawPolyline(QPolygonF({{5, 6}, {9, 9}, {7, 11}, {11, 14}}));
    p.drawPolyline(QPolygonF({{35, 6}, {31, 9}, {33, 11}, {29, 14}}));
}

// The invisible wall: the game does not draw it, the editor shows a faint outline with a cross.
void invisibleWall(QPainter &p, const Style &s)
{
    p.setPen(QPen(shade(s.tick, 110), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, 37, 37));
    p.drawLine(QPointF(6, 6), QPointF(34, 34));
    p.drawLine(QPointF(34, 6), QPointF(6, 34));
}

void terminal(QPainter &p, const Style &s)
{
    pen(p, s.ink, 1.5);
    p.setBrush(s.id == ThemeId::Computer ? QColor(200, 200, 190) : s.metal);
    p.drawRoundedRect(QRectF(3, 3, 34, 26), 3, 3);
    p.setBrush(QColor(10, 30, 20));
    p.drawRect(QRectF(7, 7, 26, 18));
    pen(p, QColor(80, 255, 120), 1.5);
    p.drawLine(QPointF(10, 11), QPointF(20, 11));
    p.drawLine(QPointF(10, 15), QPointF(26, 15));
    p.drawLine(QPointF(10, 19), QPointF(16, 19));
    pen(p, s.ink, 1.2);
    p.setBrush(shade(s.metal, 80));
    p.drawPolygon(QPolygonF({{5, 31}, {35, 31}, {38, 38}, {2, 38}}));
}

void hourglass(QPainter &p, const Style &s)
{
    pen(p, s.ink, 1.5);
    p.setBrush(s.wood);
    p.drawRect(QRectF(8, 3, 24, 4));
    p.drawRect(QRectF(8, 33, 24, 4));
    p.setBrush(QColor(220, 240, 250));
    p.drawPolygon(QPolygonF({{11, 7}, {29, 7}, {21, 20}, {29, 33}, {11, 33}, {19, 20}}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 190, 90));
    p.drawPolygon(QPolygonF({{14, 12}, {26, 12}, {20, 19}}));
    p.drawPolygon(QPolygonF({{20, 25}, {27, 32}, {13, 32}}));
}

void heart(QPainter &p, const Style &s)
{
    QPainterPath h;
    h.moveTo(20, 34);
    h.cubicTo(2, 22, 4, 6, 14, 7);
    h.cubicTo(18, 7, 20, 11, 20, 13);
    h.cubicTo(20, 11, 22, 7, 26, 7);
    h.cubicTo(36, 6, 38, 22, 20, 34);
    pen(p, s.ink, 1.5);
    QRadialGradient g(15, 13, 22);
    g.setColorAt(0, QColor(255, 140, 150));
    g.setColorAt(1, QColor(200, 20, 40));
    p.setBrush(g);
    p.drawPath(h);
}

void starTile(QPainter &p, const Style &s)
{
    pen(p, s.ink, 1.5);
    p.setBrush(QColor(255, 220, 60));
    p.drawPolygon(star(QPointF(20, 21), 17, 7, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 200));
    p.drawPolygon(star(QPointF(20, 21), 7, 3, 5));
}

void coin(QPainter &p, const Style &s)
{
    ball(p, QPointF(20, 20), 14, QColor(230, 180, 40), s.ink);
    pen(p, QColor(150, 100, 20), 1.5);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(20, 20), 9, 9);
    p.drawLine(QPointF(20, 13), QPointF(20, 27));
}

void mushroom(QPainter &p, const Style &s)
{
    pen(p, s.ink, 1.5);
    p.setBrush(QColor(240, 230, 210));
    p.drawRoundedRect(QRectF(14, 20, 12, 16), 4, 4);
    QPainterPath cap;
    cap.moveTo(4, 22);
    cap.cubicTo(4, 2, 36, 2, 36, 22);
    cap.closeSubpath();
    p.setBrush(s.id == ThemeId::Underground ? QColor(110, 90, 200) : QColor(210, 40, 40));
    p.drawPath(cap);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    for (auto c : {QPointF(12, 15), QPointF(22, 10), QPointF(29, 17)})
        p.drawEllipse(c, 2.8, 2.3);
}

void danger(QPainter &p, const Style &s)
{
    pen(p, s.ink, 1.5);
    p.setBrush(QColor(250, 210, 30));
    p.drawPolygon(QPolygonF({{20, 3}, {38, 36}, {2, 36}}));
    p.setBrush(s.ink);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(18, 13, 4, 13), 2, 2);
    p.drawEllipse(QPointF(20, 30.5), 2.3, 2.3);
}

void flag(QPainter &p, const Style &s)
{
    pen(p, s.ink, 2.2);
    p.drawLine(QPointF(10, 4), QPointF(10, 37));
    pen(p, s.ink, 1.2);
    p.setBrush(s.accent2);
    QPainterPath f;
    f.moveTo(11, 5);
    f.cubicTo(20, 1, 26, 10, 35, 6);
    f.lineTo(35, 20);
    f.cubicTo(26, 24, 20, 15, 11, 19);
    f.closeSubpath();
    p.drawPath(f);
    p.setBrush(s.metal);
    p.drawRect(QRectF(6, 35, 9, 3));
}

void bolt(QPainter &p, const Style &s)
{
    pen(p, s.ink, 1.5);
    p.setBrush(QColor(120, 220, 255));
    p.drawPolygon(QPolygonF({{24, 2}, {9, 22}, {18, 22}, {14, 38}, {31, 15}, {22, 15}}));
}

void spare(QPainter &p, const Style &s, int k, QImage &img)
{
    p.setPen(QPen(shade(s.tick, 70), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 2.5, 35, 35));
    p.end();
    drawPixelTextCentred(img, std::to_string(k), 20, 17, s.tick);
}

// ---- enemies -----------------------------------------------------------------------------------

void spinner(QPainter &p, const Style &s)
{
    const QColor c = s.enemy1;
    switch (s.id) {
    case ThemeId::Forest: {
        // A beetle seen from above.
        pen(p, s.ink, 1.5);
        for (int k = -1; k <= 1; ++k) {
            p.drawLine(QPointF(12, 20 + k * 7), QPointF(4, 16 + k * 10));
            p.drawLine(QPointF(28, 20 + k * 7), QPointF(36, 16 + k * 10));
        }
        p.setBrush(shade(c, 80));
        p.drawEllipse(QPointF(20, 9), 6, 5);
        ball(p, QPointF(20, 23), 12, c, s.ink);
        pen(p, s.ink, 1.2);
        p.drawLine(QPointF(20, 12), QPointF(20, 35));
        eyes(p, QPointF(20, 8), 3, 1.6);
        break;
    }
    case ThemeId::Kitchen: {
        // A fly with wings.
        p.setPen(QPen(QColor(90, 110, 130), 1));
        p.setBrush(QColor(210, 230, 250, 230));
        p.drawEllipse(QRectF(3, 6, 16, 12));
        p.drawEllipse(QRectF(21, 6, 16, 12));
        ball(p, QPointF(20, 24), 9, c, QColor(0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 30, 30));
        p.drawEllipse(QPointF(15, 17), 3.5, 3.5);
        p.drawEllipse(QPointF(25, 17), 3.5, 3.5);
        break;
    }
    default: {
        // Twin blades that spin.
        p.save();
        p.translate(20, 20);
        pen(p, s.ink, 1.2);
        for (int k = 0; k < 4; ++k) {
            p.setBrush(k % 2 ? shade(c, 70) : c);
            p.drawPolygon(QPolygonF({{0, -3}, {18, -8}, {14, 0}, {0, 3}}));
            p.rotate(90);
        }
        p.restore();
        ball(p, QPointF(20, 20), 7, shade(s.metal, 90), s.ink);
        eyes(p, QPointF(20, 19), 3, 1.8);
        break;
    }
    }
}

void spark(QPainter &p, const Style &s)
{
    const QColor c = s.enemy2;
    switch (s.id) {
    case ThemeId::Forest: {
        // A wasp: striped body and wings.
        p.setPen(QPen(QColor(110, 130, 150), 1));
        p.setBrush(QColor(230, 240, 255, 230));
        p.drawEllipse(QRectF(8, 3, 11, 15));
        p.drawEllipse(QRectF(21, 3, 11, 15));
        pen(p, s.ink, 1.4);
        p.setBrush(c);
        p.drawEllipse(QRectF(11, 14, 18, 22));
        pen(p, s.ink, 3);
        p.drawLine(QPointF(12, 22), QPointF(28, 22));
        p.drawLine(QPointF(13, 29), QPointF(27, 29));
        eyes(p, QPointF(20, 17), 3.5, 1.8);
        break;
    }
    case ThemeId::Kitchen: {
        // A cockroach: long feelers, brown shell.
        pen(p, s.ink, 1.2);
        p.drawLine(QPointF(17, 9), QPointF(8, 1));
        p.drawLine(QPointF(23, 9), QPointF(32, 1));
        for (int k = -1; k <= 1; ++k) {
            p.drawLine(QPointF(13, 22 + k * 6), QPointF(5, 22 + k * 9));
            p.drawLine(QPointF(27, 22 + k * 6), QPointF(35, 22 + k * 9));
        }
        p.setBrush(c);
        p.drawEllipse(QRectF(11, 9, 18, 28));
        p.drawLine(QPointF(20, 16), QPointF(20, 36));
        eyes(p, QPointF(20, 12), 3, 1.5);
        break;
    }
    case ThemeId::Underground: {
        // A bat with spread wings.
        pen(p, s.ink, 1.2);
        p.setBrush(c);
        QPainterPath wings;
        wings.moveTo(20, 16);
        wings.cubicTo(12, 6, 4, 8, 1, 14);
        wings.quadTo(6, 16, 7, 22);
        wings.quadTo(11, 19, 14, 24);
        wings.lineTo(20, 26);
        wings.lineTo(26, 24);
        wings.quadTo(29, 19, 33, 22);
        wings.quadTo(34, 16, 39, 14);
        wings.cubicTo(36, 8, 28, 6, 20, 16);
        p.drawPath(wings);
        ball(p, QPointF(20, 21), 6.5, shade(c, 110), s.ink);
        eyes(p, QPointF(20, 20), 2.6, 1.5, QColor(200, 0, 0));
        break;
    }
    default: {
        // An electric spark: a jagged glowing ball.
        QRadialGradient glow(20, 20, 19);
        glow.setColorAt(0, QColor(255, 255, 230));
        glow.setColorAt(0.5, c);
        glow.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(20, 20), 19, 19);
        pen(p, s.ink, 1.2);
        p.setBrush(c);
        p.drawPolygon(star(QPointF(20, 20), 15, 8, 9, -90));
        eyes(p, QPointF(20, 20), 3.5, 2);
        break;
    }
    }
}

void boulder(QPainter &p, const Style &s)
{
    switch (s.id) {
    case ThemeId::Computer:
        // A steel ball with a groove.
        ball(p, QPointF(20, 20), 17, QColor(150, 156, 170), s.ink);
        pen(p, QColor(80, 84, 96), 1.5);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 12, 30, 16), 180 * 16, 180 * 16);
        break;
    case ThemeId::Kitchen:
        // A melon.
        ball(p, QPointF(20, 21), 17, QColor(90, 160, 60), s.ink);
        pen(p, QColor(40, 100, 30), 2);
        p.setBrush(Qt::NoBrush);
        for (int k = -2; k <= 2; ++k)
            p.drawArc(QRectF(20 - 5 * std::abs(k) - 3, 5, 6 + 10 * std::abs(k), 32), k < 0 ? 90 * 16 : -90 * 16,
                      180 * 16);
        pen(p, QColor(110, 80, 30), 2);
        p.drawLine(QPointF(20, 5), QPointF(23, 1));
        break;
    default: {
        // A round stone (with moss in the forest).
        QPainterPath rock;
        rock.moveTo(6, 26);
        rock.cubicTo(2, 12, 14, 2, 24, 4);
        rock.cubicTo(36, 6, 40, 22, 34, 32);
        rock.cubicTo(28, 39, 10, 39, 6, 26);
        QRadialGradient g(14, 12, 30);
        g.setColorAt(0, QColor(190, 186, 176));
        g.setColorAt(1, QColor(90, 86, 80));
        pen(p, s.ink, 1.5);
        p.setBrush(g);
        p.drawPath(rock);
        pen(p, QColor(80, 76, 70), 1.2);
        p.drawLine(QPointF(16, 20), QPointF(24, 26));
        if (s.id == ThemeId::Forest) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(90, 150, 60));
            p.drawEllipse(QPointF(18, 6), 8, 3.5);
            p.drawEllipse(QPointF(27, 8), 5, 3);
        }
        break;
    }
    }
}

// ---- walls -------------------------------------------------------------------------------------

void wallTile(QPainter &p, const Style &s, int tile)
{
    const QRectF full(0, 0, 40, 40);
    switch (tile) {
    case 41: // the plain hard wall
        wallSurface(p, s, full, tile);
        break;
    case 32: // a wall with a vent
        wallSurface(p, s, full, tile);
        pen(p, s.ink, 1);
        p.setBrush(shade(s.wall, 50));
        p.drawRoundedRect(QRectF(9, 11, 22, 18), 2, 2);
        pen(p, shade(s.wall, 130), 2);
        for (int y = 15; y <= 26; y += 4)
            p.drawLine(QPointF(11, y), QPointF(29, y));
        break;
    case 33: { // a grating in front of everything
        p.setPen(Qt::NoPen);
        p.setBrush(shade(s.wallDark, 80));
        p.drawRect(QRectF(0, 0, 40, 4));
        p.drawRect(QRectF(0, 36, 40, 4));
        pen(p, s.ink, 1);
        for (int x = 3; x < 40; x += 8) {
            p.setBrush(s.wallLight);
            p.drawRect(QRectF(x, 0, 4, 40));
        }
        break;
    }
    case 34: // a wall with signal lights
        wallSurface(p, s, full, tile);
        for (int k = 0; k < 3; ++k) {
            const QColor c = k == 0 ? QColor(240, 60, 50) : k == 1 ? QColor(250, 210, 40) : QColor(60, 220, 80);
            ball(p, QPointF(11 + k * 9, 20), 3.5, c, s.ink);
        }
        break;
    case 35: { // a wall with warning stripes
        wallSurface(p, s, full, tile);
        p.save();
        p.setClipRect(QRectF(5, 12, 30, 16));
        p.fillRect(QRectF(5, 12, 30, 16), QColor(250, 200, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 30));
        for (int x = -10; x < 40; x += 10)
            p.drawPolygon(QPolygonF({{double(x), 28}, {x + 5.0, 28}, {x + 21.0, 12}, {x + 16.0, 12}}));
        p.restore();
        pen(p, s.ink, 1);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5, 12, 30, 16));
        break;
    }
    case 56: // a braced wall
        wallSurface(p, s, full, tile);
        pen(p, shade(s.wallDark, 80), 3);
        p.drawLine(QPointF(5, 5), QPointF(35, 35));
        p.drawLine(QPointF(35, 5), QPointF(5, 35));
        pen(p, s.ink, 1.2);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.5, 4.5, 31, 31));
        break;
    }
}

// ---- large objects -----------------------------------------------------------------------------

// 30: a 7 x 2 block.
void bigBlock(QPainter &p, const Style &s)
{
    const QRectF r(2, 4, 276, 74);
    switch (s.id) {
    case ThemeId::Computer: {
        // A mainframe: cabinet with tape reels and lamps.
        bevelBlock(p, r, QColor(150, 160, 176), 4);
        for (int k = 0; k < 3; ++k) {
            const double x = 26 + k * 44;
            pen(p, s.ink, 1.2);
            p.setBrush(QColor(40, 44, 56));
            p.drawRect(QRectF(x - 18, 12, 36, 58));
            for (int d : {0, 1})
                ball(p, QPointF(x, 26 + d * 28), 11, QColor(90, 96, 110), s.ink);
        }
        p.setBrush(QColor(30, 34, 40));
        p.drawRect(QRectF(150, 12, 118, 58));
        Noise n(5);
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 10; ++col) {
                const int c = n.below(4);
                p.setBrush(c == 0 ? QColor(250, 70, 60) : c == 1 ? QColor(60, 230, 90) : c == 2 ? QColor(250, 210, 60) : QColor(40, 50, 60));
                p.drawEllipse(QPointF(160 + col * 11, 20 + row * 11), 3, 3);
            }
        break;
    }
    case ThemeId::Forest: {
        // A fallen giant trunk with mushrooms.
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(110, 72, 40));
        p.drawRoundedRect(QRectF(2, 10, 266, 64), 30, 30);
        pen(p, QColor(80, 50, 26), 2);
        for (int x = 30; x < 240; x += 22)
            p.drawLine(QPointF(x, 16), QPointF(x + 12, 68));
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(224, 190, 136));
        p.drawEllipse(QPointF(246, 42), 28, 32);
        p.setBrush(Qt::NoBrush);
        for (int k = 1; k < 4; ++k)
            p.drawEllipse(QPointF(246, 42), 28 - k * 7, 32 - k * 8);
        p.setBrush(QColor(90, 150, 60));
        p.drawEllipse(QRectF(40, 4, 60, 14));
        p.drawEllipse(QRectF(130, 6, 40, 10));
        break;
    }
    case ThemeId::Kitchen: {
        // A counter with drawers.
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(90, 80, 76));
        p.drawRect(QRectF(0, 4, 280, 12));
        for (int k = 0; k < 4; ++k) {
            bevelBlock(p, QRectF(4 + k * 69, 18, 65, 58), QColor(196, 150, 100), 3);
            pen(p, s.ink, 1.2);
            p.setBrush(QColor(220, 220, 210));
            p.drawRoundedRect(QRectF(26 + k * 69, 28, 22, 5), 2, 2);
        }
        break;
    }
    case ThemeId::Underground: {
        // A mine cart full of ore on rails.
        pen(p, s.ink, 2);
        p.drawLine(QPointF(0, 74), QPointF(280, 74));
        p.setBrush(QColor(120, 90, 60));
        p.drawPolygon(QPolygonF({{10, 14}, {270, 14}, {256, 62}, {24, 62}}));
        Noise n(9);
        for (int k = 0; k < 26; ++k)
            ball(p, QPointF(24 + n.below(232), 10 + n.below(8)), 6 + n.below(4),
                 k % 3 ? QColor(110, 100, 110) : QColor(220, 180, 60), s.ink);
        for (double x : {60.0, 220.0})
            ball(p, QPointF(x, 66), 10, QColor(80, 80, 86), s.ink);
        break;
    }
    }
}

// 36: a 7 x 1 block.
void longBlock(QPainter &p, const Style &s)
{
    switch (s.id) {
    case ThemeId::Computer:
        // A data bus: a flat cable with connectors at both ends.
        pen(p, s.ink, 1.2);
        for (int k = 0; k < 8; ++k) {
            p.setBrush(k % 2 ? QColor(200, 200, 200) : QColor(150, 150, 150));
            p.drawRect(QRectF(20, 8 + k * 3, 240, 3));
        }
        for (double x : {2.0, 254.0}) {
            bevelBlock(p, QRectF(x, 4, 24, 32), QColor(60, 60, 70), 2);
            p.setBrush(QColor(220, 190, 60));
            p.setPen(Qt::NoPen);
            for (int k = 0; k < 4; ++k)
                p.drawRect(QRectF(x + 9, 8 + k * 7, 6, 3));
        }
        break;
    case ThemeId::Forest:
        // A wooden fence.
        pen(p, s.ink, 1.2);
        p.setBrush(s.wood);
        p.drawRect(QRectF(0, 12, 280, 6));
        p.drawRect(QRectF(0, 26, 280, 6));
        for (int x = 4; x < 280; x += 20)
            p.drawPolygon(QPolygonF({{double(x), 6}, {x + 6.0, 2}, {x + 12.0, 6}, {x + 12.0, 39}, {double(x), 39}}));
        break;
    case ThemeId::Kitchen:
        // A shelf with cups and plates.
        pen(p, s.ink, 1.2);
        p.setBrush(QColor(150, 96, 50));
        p.drawRect(QRectF(0, 30, 280, 8));
        for (int k = 0; k < 7; ++k) {
            const double x = 20 + k * 40;
            if (k % 2) {
                p.setBrush(QColor(240, 240, 250));
                p.drawEllipse(QPointF(x, 18), 14, 12);
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPointF(x, 18), 8, 7);
            } else {
                p.setBrush(k % 4 ? QColor(80, 140, 220) : QColor(220, 90, 80));
                p.drawRoundedRect(QRectF(x - 9, 12, 18, 18), 3, 3);
                p.setBrush(Qt::NoBrush);
                p.drawArc(QRectF(x + 6, 16, 8, 9), -90 * 16, 180 * 16);
            }
        }
        break;
    case ThemeId::Underground:
        // A rail track on sleepers.
        pen(p, s.ink, 1.2);
        p.setBrush(QColor(110, 76, 46));
        for (int x = 4; x < 280; x += 16)
            p.drawRect(QRectF(x, 6, 8, 30));
        p.setBrush(QColor(170, 170, 180));
        p.drawRect(QRectF(0, 10, 280, 4));
        p.drawRect(QRectF(0, 27, 280, 4));
        break;
    }
}

// 37: a 7 x 2 block whose top row has something only in squares 1 and 2. The map shows an empty
// square in the other top squares, so those stay transparent; square 0, never shown on the map, holds
// the palette's miniature of the whole object.
void towerBlock(QPainter &p, const Style &s, QImage &img)
{
    auto drawObject = [&](QPainter &q, double ox, double oy, double scale) {
        q.save();
        q.translate(ox, oy);
        q.scale(scale, scale);
        switch (s.id) {
        case ThemeId::Computer: {
            // A desk console with a monitor on top.
            bevelBlock(q, QRectF(0, 42, 280, 38), QColor(170, 176, 186), 4);
            q.setPen(Qt::NoPen);
            for (int k = 0; k < 20; ++k) {
                q.setBrush(QColor(60, 64, 74));
                q.drawRect(QRectF(110 + (k % 10) * 15, 50 + (k / 10) * 12, 12, 9));
            }
            pen(q, s.ink, 2);
            q.setBrush(QColor(200, 200, 190));
            q.drawRoundedRect(QRectF(42, 2, 76, 40), 4, 4);
            q.setBrush(QColor(20, 60, 90));
            q.drawRect(QRectF(48, 7, 64, 28));
            pen(q, QColor(100, 220, 255), 2);
            q.drawLine(QPointF(54, 14), QPointF(90, 14));
            q.drawLine(QPointF(54, 21), QPointF(100, 21));
            break;
        }
        case ThemeId::Forest: {
            // A log cabin with a stone chimney.
            pen(q, s.ink, 2);
            q.setBrush(QColor(150, 150, 140));
            q.drawRect(QRectF(46, 2, 30, 44));
            q.setBrush(QColor(140, 94, 52));
            q.drawRect(QRectF(0, 52, 280, 28));
            q.setBrush(QColor(170, 60, 40));
            q.drawPolygon(QPolygonF({{0, 56}, {12, 42}, {268, 42}, {280, 56}}));
            pen(q, QColor(90, 58, 30), 2);
            for (int y = 62; y < 80; y += 6)
                q.drawLine(QPointF(2, y), QPointF(278, y));
            pen(q, s.ink, 2);
            q.setBrush(QColor(250, 220, 120));
            q.drawRect(QRectF(200, 58, 30, 16));
            q.setBrush(QColor(100, 64, 34));
            q.drawRect(QRectF(120, 58, 24, 22));
            break;
        }
        case ThemeId::Kitchen: {
            // A stove with a pot on it.
            bevelBlock(q, QRectF(0, 42, 280, 38), QColor(230, 230, 236), 4);
            pen(q, s.ink, 2);
            q.setBrush(QColor(40, 40, 44));
            q.drawRect(QRectF(150, 50, 110, 24));
            for (int k = 0; k < 4; ++k)
                q.drawEllipse(QPointF(20 + k * 30, 62), 8, 8);
            q.setBrush(QColor(150, 160, 170));
            q.drawRoundedRect(QRectF(44, 12, 72, 32), 6, 6);
            q.drawRect(QRectF(38, 14, 84, 6));
            q.setPen(Qt::NoPen);
            q.setBrush(QColor(255, 255, 255, 200));
            q.drawEllipse(QPointF(66, 6), 6, 4);
            q.drawEllipse(QPointF(90, 4), 5, 3);
            break;
        }
        case ThemeId::Underground: {
            // A mine engine with a smokestack.
            pen(q, s.ink, 2);
            q.setBrush(QColor(90, 80, 80));
            q.drawRect(QRectF(56, 2, 26, 42));
            q.setBrush(QColor(180, 60, 40));
            q.drawRoundedRect(QRectF(0, 40, 280, 30), 8, 8);
            q.setBrush(QColor(60, 56, 56));
            for (int k = 0; k < 6; ++k)
                q.drawEllipse(QPointF(24 + k * 46, 72), 8, 8);
            q.setBrush(QColor(250, 210, 80));
            q.drawRect(QRectF(200, 46, 40, 14));
            break;
        }
        }
        q.restore();
    };
    QImage whole = newLayer(280, 80);
    {
        QPainter q;
        beginPainter(q, whole);
        drawObject(q, 0, 0, 1);
    }
    // Keep the bottom row and squares 1 and 2 of the top row.
    p.drawImage(QRectF(0, 40, 280, 40), whole, QRectF(0, 40, 280, 40));
    p.drawImage(QRectF(40, 0, 80, 40), whole, QRectF(40, 0, 80, 40));
    // Square 0: the palette's picture of the object, its left part with the top shrunk to fit.
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(0, 7, 40, 80.0 / 3.0), whole, QRectF(20, 0, 120, 80));
    (void)img;
}

// 40: a 6 x 3 block.
void largeBlock(QPainter &p, const Style &s)
{
    const QRectF r(2, 2, 236, 116);
    switch (s.id) {
    case ThemeId::Computer: {
        // A wall of screens.
        bevelBlock(p, r, QColor(60, 66, 80), 5);
        const QColor screens[] = {QColor(20, 60, 120), QColor(20, 90, 60), QColor(90, 30, 90)};
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col) {
                const QRectF sc(12 + col * 74, 12 + row * 50, 66, 42);
                pen(p, s.ink, 1.5);
                p.setBrush(screens[(row + col) % 3]);
                p.drawRect(sc);
                pen(p, QColor(120, 230, 255), 1.5);
                QPolygonF wave;
                for (int x = 0; x <= 60; x += 4)
                    wave << QPointF(sc.left() + 3 + x, sc.center().y() + 10 * std::sin((x + row * 17 + col * 31) / 7.0));
                p.drawPolyline(wave);
            }
        break;
    }
    case ThemeId::Forest: {
        // A pond with reeds and lily pads.
        pen(p, s.ink, 2);
        p.setBrush(QColor(120, 100, 70));
        p.drawRoundedRect(QRectF(2, 10, 236, 106), 50, 40);
        QLinearGradient g(0, 16, 0, 110);
        g.setColorAt(0, QColor(80, 170, 220));
        g.setColorAt(1, QColor(30, 90, 150));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(12, 20, 216, 88), 44, 34);
        p.setBrush(QColor(70, 160, 60));
        for (auto c : {QPointF(70, 50), QPointF(150, 80), QPointF(180, 44)})
            p.drawPie(QRectF(c.x() - 14, c.y() - 9, 28, 18), 30 * 16, 320 * 16);
        pen(p, QColor(60, 120, 40), 3);
        for (int k = 0; k < 6; ++k)
            p.drawLine(QPointF(20 + k * 6, 100), QPointF(14 + k * 7, 62 + (k % 3) * 8));
        break;
    }
    case ThemeId::Kitchen: {
        // A dining table with a cloth and a cake.
        pen(p, s.ink, 2);
        p.setBrush(QColor(150, 96, 50));
        p.drawRect(QRectF(20, 60, 14, 58));
        p.drawRect(QRectF(206, 60, 14, 58));
        p.setBrush(QColor(240, 240, 250));
        p.drawRect(QRectF(4, 44, 232, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 60, 60));
        for (int x = 4; x < 236; x += 16)
            p.drawRect(QRectF(x, 44, 8, 30));
        pen(p, s.ink, 2);
        p.setBrush(QColor(250, 220, 230));
        p.drawRect(QRectF(90, 14, 60, 30));
        p.setBrush(QColor(240, 150, 170));
        p.drawRect(QRectF(90, 14, 60, 8));
        p.setBrush(QColor(255, 240, 120));
        p.drawRect(QRectF(117, 2, 6, 12));
        // A vase of flowers at the left end of the table.
        pen(p, QColor(60, 120, 40), 2);
        for (int k = -1; k <= 1; ++k)
            p.drawLine(QPointF(22, 30), QPointF(22 + k * 9, 12 + std::abs(k) * 4));
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(80, 140, 220));
        p.drawRoundedRect(QRectF(15, 26, 14, 18), 4, 4);
        for (int k = -1; k <= 1; ++k) {
            p.setBrush(k ? QColor(250, 200, 40) : QColor(240, 90, 120));
            p.drawEllipse(QPointF(22 + k * 9, 10 + std::abs(k) * 4), 5, 5);
        }
        break;
    }
    case ThemeId::Underground: {
        // A mine entrance: a timber frame over a dark tunnel.
        pen(p, s.ink, 2);
        p.setBrush(QColor(10, 8, 8));
        p.drawRoundedRect(QRectF(30, 20, 180, 100), 60, 40);
        p.setBrush(QColor(130, 90, 50));
        p.drawRect(QRectF(20, 14, 22, 106));
        p.drawRect(QRectF(198, 14, 22, 106));
        p.drawRect(QRectF(4, 4, 232, 20));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(80, 8, 80, 12));
        break;
    }
    }
}

// 63: the exit, three squares high.
void exitTile(QPainter &p, const Style &s)
{
    const QColor frame = s.id == ThemeId::Forest || s.id == ThemeId::Underground ? s.wood : s.metal;
    pen(p, s.ink, 1.5);
    p.setBrush(frame);
    p.drawRoundedRect(QRectF(1, 1, 38, 118), 18, 14);
    QLinearGradient g(0, 10, 0, 116);
    g.setColorAt(0, QColor(255, 255, 230));
    g.setColorAt(0.5, QColor(120, 230, 140));
    g.setColorAt(1, QColor(20, 100, 60));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(6, 8, 28, 110), 13, 11);
    // The sign on the top square: an arrow out through the door.
    p.setBrush(QColor(250, 250, 250));
    pen(p, s.ink, 1.2);
    p.drawPolygon(QPolygonF({{10, 16}, {22, 16}, {22, 11}, {31, 20}, {22, 29}, {22, 24}, {10, 24}}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 160));
    for (int k = 0; k < 4; ++k)
        p.drawEllipse(QPointF(20, 50 + k * 16), 5 - k, 5 - k);
}

// 64: two squares high (65 is its lower half).
void tallTile(QPainter &p, const Style &s)
{
    switch (s.id) {
    case ThemeId::Computer: // a floor lamp
    case ThemeId::Underground: { // a lantern on a post
        pen(p, s.ink, 1.5);
        p.setBrush(s.id == ThemeId::Computer ? s.metal : s.wood);
        p.drawRect(QRectF(17, 22, 6, 52));
        p.drawRect(QRectF(8, 72, 24, 6));
        QRadialGradient glow(20, 14, 18);
        glow.setColorAt(0, QColor(255, 250, 200));
        glow.setColorAt(1, QColor(250, 190, 60));
        p.setBrush(glow);
        if (s.id == ThemeId::Computer)
            p.drawPolygon(QPolygonF({{10, 24}, {30, 24}, {26, 4}, {14, 4}}));
        else
            p.drawRoundedRect(QRectF(11, 4, 18, 22), 4, 4);
        break;
    }
    case ThemeId::Forest: { // a young birch
        pen(p, s.ink, 1.2);
        p.setBrush(QColor(240, 240, 230));
        p.drawRect(QRectF(17, 24, 6, 54));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        for (int y = 30; y < 76; y += 9)
            p.drawRect(QRectF(17, y, 4, 2));
        pen(p, s.ink, 1.2);
        p.setBrush(QColor(120, 190, 70));
        p.drawEllipse(QRectF(4, 2, 32, 34));
        break;
    }
    case ThemeId::Kitchen: { // a tall bottle
        pen(p, s.ink, 1.5);
        QLinearGradient g(8, 0, 32, 0);
        g.setColorAt(0, QColor(40, 110, 60));
        g.setColorAt(0.4, QColor(110, 200, 130));
        g.setColorAt(1, QColor(30, 80, 40));
        p.setBrush(g);
        QPainterPath b;
        b.moveTo(16, 4);
        b.lineTo(24, 4);
        b.lineTo(24, 24);
        b.cubicTo(32, 28, 32, 32, 32, 40);
        b.lineTo(32, 76);
        b.lineTo(8, 76);
        b.lineTo(8, 40);
        b.cubicTo(8, 32, 8, 28, 16, 24);
        b.closeSubpath();
        p.drawPath(b);
        p.setBrush(QColor(240, 230, 200));
        p.drawRect(QRectF(10, 46, 20, 16));
        p.setBrush(QColor(200, 60, 50));
        p.drawRect(QRectF(15, 1, 10, 5));
        break;
    }
    }
}

// 66: a pillar three squares high.
void pillar(QPainter &p, const Style &s)
{
    const QColor c = s.id == ThemeId::Kitchen ? QColor(240, 240, 236) : s.wallLight;
    QLinearGradient g(6, 0, 34, 0);
    g.setColorAt(0, shade(c, 60));
    g.setColorAt(0.35, c);
    g.setColorAt(1, shade(c, 45));
    pen(p, s.ink, 1.5);
    p.setBrush(shade(c, 80));
    p.drawRect(QRectF(2, 2, 36, 10));
    p.drawRect(QRectF(2, 108, 36, 10));
    p.setBrush(g);
    p.drawRect(QRectF(7, 12, 26, 96));
    pen(p, shade(c, 50), 1);
    for (int x : {13, 20, 27})
        p.drawLine(QPointF(x, 14), QPointF(x, 106));
}

// 67: a tree (or the theme's tall object) three squares high.
void tree(QPainter &p, const Style &s)
{
    switch (s.id) {
    case ThemeId::Computer: { // a server tower
        bevelBlock(p, QRectF(3, 2, 34, 116), QColor(50, 54, 64), 3);
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 9; ++k) {
            p.setBrush(QColor(30, 32, 38));
            p.drawRect(QRectF(8, 8 + k * 12, 24, 8));
            p.setBrush(k % 3 ? QColor(60, 230, 90) : QColor(250, 160, 40));
            p.drawEllipse(QPointF(28, 12 + k * 12), 1.8, 1.8);
        }
        break;
    }
    case ThemeId::Kitchen: { // a tall fridge
        bevelBlock(p, QRectF(2, 2, 36, 116), QColor(236, 240, 244), 3);
        pen(p, s.ink, 1.2);
        p.drawLine(QPointF(4, 42), QPointF(36, 42));
        p.setBrush(QColor(150, 160, 170));
        p.drawRoundedRect(QRectF(29, 16, 4, 18), 2, 2);
        p.drawRoundedRect(QRectF(29, 50, 4, 30), 2, 2);
        p.setBrush(QColor(240, 80, 80));
        p.drawEllipse(QPointF(12, 60), 4, 4);
        break;
    }
    default: { // a fir tree, or a stalagmite of crystal underground
        if (s.id == ThemeId::Underground) {
            pen(p, s.ink, 1.5);
            QLinearGradient g(4, 0, 36, 0);
            g.setColorAt(0, QColor(40, 150, 160));
            g.setColorAt(0.5, QColor(160, 250, 240));
            g.setColorAt(1, QColor(30, 110, 130));
            p.setBrush(g);
            p.drawPolygon(QPolygonF({{20, 2}, {34, 40}, {30, 118}, {10, 118}, {6, 40}}));
            pen(p, QColor(220, 255, 250), 1);
            p.drawLine(QPointF(20, 6), QPointF(20, 114));
            break;
        }
        pen(p, s.ink, 1.2);
        p.setBrush(QColor(110, 70, 40));
        p.drawRect(QRectF(16, 96, 8, 22));
        for (int k = 0; k < 4; ++k) {
            p.setBrush(k % 2 ? QColor(40, 120, 50) : QColor(50, 140, 60));
            const double top = 2 + k * 22, bottom = top + 38;
            p.drawPolygon(QPolygonF({{20, top}, {36, bottom}, {4, bottom}}));
        }
        break;
    }
    }
}

// 68: a 3 x 3 object; its top-left square is what the palette shows.
void bigObject(QPainter &p, const Style &s)
{
    switch (s.id) {
    case ThemeId::Computer: { // a processor with pins
        pen(p, QColor(210, 190, 100), 3);
        for (int k = 0; k < 9; ++k) {
            const double t = 16 + k * 11;
            p.drawLine(QPointF(t, 2), QPointF(t, 14));
            p.drawLine(QPointF(t, 106), QPointF(t, 118));
            p.drawLine(QPointF(2, t), QPointF(14, t));
            p.drawLine(QPointF(106, t), QPointF(118, t));
        }
        bevelBlock(p, QRectF(12, 12, 96, 96), QColor(60, 64, 74), 4);
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(190, 196, 206));
        p.drawRect(QRectF(32, 32, 56, 56));
        p.setBrush(QColor(250, 220, 70));
        p.drawPolygon(QPolygonF({{16, 16}, {28, 16}, {16, 28}}));
        drawPixelTextCentred(*static_cast<QImage *>(p.device()), "CPU", 60, 53, QColor(40, 44, 56), 2);
        break;
    }
    case ThemeId::Forest: { // an oak
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(110, 70, 40));
        p.drawRect(QRectF(50, 70, 20, 48));
        p.setBrush(QColor(60, 130, 50));
        for (auto [x, y, r] : {std::tuple{34.0, 40.0, 30.0}, {86.0, 40.0, 30.0}, {60.0, 26.0, 28.0}, {60.0, 58.0, 28.0}})
            p.drawEllipse(QPointF(x, y), r, r * 0.9);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 60, 40));
        for (auto c : {QPointF(22, 30), QPointF(48, 18), QPointF(80, 30), QPointF(96, 50), QPointF(60, 60)})
            p.drawEllipse(c, 4, 4);
        break;
    }
    case ThemeId::Kitchen: { // a round cake on a stand
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(50, 96, 20, 14));
        p.drawEllipse(QRectF(24, 104, 72, 14));
        p.drawEllipse(QRectF(6, 82, 108, 20));
        p.setBrush(QColor(240, 200, 140));
        p.drawRect(QRectF(14, 40, 92, 50));
        p.drawEllipse(QRectF(14, 80, 92, 16));
        p.setBrush(QColor(250, 180, 200));
        p.drawEllipse(QRectF(14, 30, 92, 22));
        p.setBrush(QColor(220, 30, 50));
        p.drawEllipse(QPointF(60, 30), 7, 7);
        pen(p, QColor(250, 250, 250), 3);
        p.drawLine(QPointF(24, 14), QPointF(24, 34));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 210, 60));
        p.drawEllipse(QPointF(24, 10), 3, 5);
        break;
    }
    case ThemeId::Underground: { // a geode of crystals
        pen(p, s.ink, 1.5);
        p.setBrush(QColor(80, 70, 70));
        p.drawEllipse(QRectF(4, 8, 112, 106));
        p.setBrush(QColor(40, 26, 50));
        p.drawEllipse(QRectF(18, 22, 84, 78));
        for (int k = 0; k < 7; ++k) {
            const double a = k * 2 * kPi / 7;
            const QPointF c(60 + std::cos(a) * 22, 61 + std::sin(a) * 20);
            p.setBrush(k % 2 ? QColor(160, 110, 230) : QColor(100, 230, 230));
            p.drawPolygon(QPolygonF({c + QPointF(0, -14), c + QPointF(6, 0), c + QPointF(0, 10), c + QPointF(-6, 0)}));
        }
        p.setBrush(QColor(250, 240, 120));
        p.drawEllipse(QPointF(22, 24), 7, 7);
        break;
    }
    }
}

// ---- one picture -------------------------------------------------------------------------------

QImage drawTile(const Style &s, int tile)
{
    const TileGeometry geo = tileGeometry(tile);
    QImage img = newLayer(geo.width, geo.height);
    QPainter p;
    beginPainter(p, img);
    switch (tile) {
    case 0:
        switch (s.id) {
        case ThemeId::Computer: backgroundComputer(p, s); break;
        case ThemeId::Forest: backgroundForest(p, s); break;
        case ThemeId::Kitchen: backgroundKitchen(p, s); break;
        case ThemeId::Underground: backgroundUnderground(p, s); break;
        }
        break;
    case 11: break; // fully transparent
    case 12: infotron(p, s); break;
    case 13: gem(p, s); break;
    case 14: keyTile(p, s); break;
    case 15: emptyTile(p, s); break;
    case 16: baseTile(p, s); break;
    case 17: lockedDoor(p, s); break;
    case 18: lever(p, s); break;
    case 19: diskTile(p, s, QColor(220, 40, 40)); break;
    case 20: boulder(p, s); break;
    case 21: diskTile(p, s, QColor(250, 140, 30)); break;
    case 22: diskTile(p, s, QColor(240, 220, 40)); break;
    case 23: crate(p, s); break;
    case 24: teleporter(p, s); break;
    case 25: pit(p, s); break;
    case 26: ice(p, s); break;
    case 27: water(p, s); break;
    case 28: chipBody(p, s, QRectF(7, 7, 26, 26), true, nullptr); break;
    case 29: chipBody(p, s, QRectF(3, 8, 74, 24), true, "RAM"); break;
    case 30: bigBlock(p, s); break;
    case 31: chipBody(p, s, QRectF(8, 3, 24, 74), false, nullptr); break;
    case 32:
    case 33:
    case 34:
    case 35:
    case 41:
    case 56: wallTile(p, s, tile); break;
    case 36: longBlock(p, s); break;
    case 37: towerBlock(p, s, img); break;
    case 38: spinner(p, s); break;
    case 39: spark(p, s); break;
    case 40: largeBlock(p, s); break;
    case 42: window(p, s); break;
    case 43: lamp(p, s); break;
    case 44: pipe(p, s, true, false); break;
    case 45: pipe(p, s, false, true); break;
    case 46: pipe(p, s, true, true); break;
    case 47: barrel(p, s); break;
    case 48: plant(p, s); break;
    case 49:
    case 50:
    case 51:
    case 52: port(p, s, tile - 49); break;
    case 53: terminal(p, s); break;
    case 54: hourglass(p, s); break;
    case 55: heart(p, s); break;
    case 57: starTile(p, s); break;
    case 58: coin(p, s); break;
    case 59: mushroom(p, s); break;
    case 60: danger(p, s); break;
    case 61: flag(p, s); break;
    case 62: bolt(p, s); break;
    case 63: exitTile(p, s); break;
    case 64: tallTile(p, s); break;
    case 66: pillar(p, s); break;
    case 67: tree(p, s); break;
    case 68: bigObject(p, s); break;
    case 69: bugTile(p, s); break;
    case 70: portSeveralWays(p, s, 2 | 8); break;
    case 71: portSeveralWays(p, s, 1 | 4); break;
    case 72: portSeveralWays(p, s, 15); break;
    case 73:
    case 74:
    case 75:
    case 76: specialPort(p, s, tile - 73); break;
    case 77: invisibleWall(p, s); break;
    default:
        if (tile >= 1 && tile <= 10)
            spare(p, s, tile, img);
        break;
    }
    if (p.isActive())
        p.end();
    return img;
}

} // namespace

std::vector<PictureEntry> themePictures(ThemeId theme)
{
    const Style s = styleOf(theme);
    std::vector<PictureEntry> out;
    QImage tall;
    for (int tile = 0; tile < kThemePictureCount; ++tile) {
        const TileGeometry geo = tileGeometry(tile);
        QImage img;
        if (tile == 65) {
            img = tall.copy(0, 40, 40, 40); // the lower half of 64
        } else {
            img = drawTile(s, tile);
            if (tile == 64)
                tall = img;
        }
        out.push_back(pictureFromLayer(tileName(tile), img, geo.patternWidth, geo.patternHeight));
    }
    return out;
}

} // namespace qm::gamegen
