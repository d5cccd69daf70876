#include "unitabout.h"

#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadialGradient>
#include <QScreen>

namespace qm {

namespace {

constexpr int kPictureWidth = 137;
constexpr int kPictureHeight = 97;
constexpr int kTile = 19; // a square of the little level in the picture

// One square of moss-grown ground.
void drawGround(QPainter &p, const QRectF &r)
{
    p.fillRect(r, QColor(0x5a, 0x3d, 0x24));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x74, 0x52, 0x33));
    p.drawEllipse(QRectF(r.x() + 3, r.y() + 9, 4, 3));
    p.drawEllipse(QRectF(r.x() + 11, r.y() + 13, 5, 3));
    p.setBrush(QColor(0x4f, 0x9a, 0x3a));
    QPainterPath moss;
    moss.moveTo(r.topLeft());
    for (int k = 0; k <= 4; ++k)
        moss.lineTo(r.x() + k * r.width() / 4.0, r.y() + (k % 2 ? 6 : 3));
    moss.lineTo(r.topRight());
    moss.closeSubpath();
    p.drawPath(moss);
}

// Earth deep under the surface.
void drawEarth(QPainter &p, const QRectF &r)
{
    p.fillRect(r, QColor(0x4e, 0x34, 0x1f));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x66, 0x47, 0x2b));
    p.drawEllipse(QRectF(r.x() + 2, r.y() + 4, 5, 3));
    p.drawEllipse(QRectF(r.x() + 10, r.y() + 11, 6, 4));
}

// One brick of wall.
void drawWall(QPainter &p, const QRectF &r)
{
    p.fillRect(r, QColor(0x6b, 0x70, 0x7a));
    p.setPen(QPen(QColor(0x45, 0x48, 0x50), 1));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.center().y()));
    p.drawLine(QPointF(r.left() + 4, r.center().y()), QPointF(r.left() + 4, r.bottom()));
    p.drawLine(QPointF(r.right() - 4, r.center().y()), QPointF(r.right() - 4, r.bottom()));
    p.setPen(QPen(QColor(0x9a, 0xa0, 0xaa), 1));
    p.drawLine(r.topLeft() + QPointF(0.5, 0.5), r.topRight() + QPointF(-0.5, 0.5));
}

// A round stone resting on the square.
void drawStone(QPainter &p, const QRectF &r)
{
    QRadialGradient shade(r.center() - QPointF(3, 3), r.width() * 0.6);
    shade.setColorAt(0, QColor(0xd8, 0xd2, 0xc4));
    shade.setColorAt(1, QColor(0x7a, 0x72, 0x66));
    p.setPen(QPen(QColor(0x4a, 0x44, 0x3c), 1));
    p.setBrush(shade);
    p.drawEllipse(r.adjusted(2, 2, -2, -2));
}

// A gem to collect.
void drawGem(QPainter &p, const QRectF &r)
{
    const QPointF c = r.center();
    QPolygonF gem{{c.x(), r.top() + 2}, {r.right() - 3, c.y()}, {c.x(), r.bottom() - 2}, {r.left() + 3, c.y()}};
    p.setPen(QPen(QColor(0x7a, 0x10, 0x30), 1));
    p.setBrush(QColor(0xe0, 0x3a, 0x6a));
    p.drawPolygon(gem);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xb0, 0xc8));
    p.drawPolygon(QPolygonF{{c.x(), r.top() + 4}, {c.x() + 3, c.y() - 1}, {c.x(), c.y()}, {c.x() - 3, c.y() - 1}});
}

// The quill: a feather laid across the picture, its nib on the ground.
void drawQuill(QPainter &p)
{
    p.save();
    p.translate(98, 60);
    p.rotate(-38);
    QPainterPath vane;
    vane.moveTo(0, 0);
    vane.cubicTo(10, -11, 36, -13, 58, -4);
    vane.cubicTo(40, 3, 16, 7, 0, 0);
    QLinearGradient fill(0, -10, 0, 6);
    fill.setColorAt(0, QColor(0xf6, 0xf1, 0xe0));
    fill.setColorAt(1, QColor(0xb9, 0xc9, 0x8e));
    p.setPen(QPen(QColor(0x3e, 0x4a, 0x2a), 1));
    p.setBrush(fill);
    p.drawPath(vane);
    p.setPen(QPen(QColor(0x7c, 0x8a, 0x5a), 1));
    for (int k = 1; k <= 6; ++k)
        p.drawLine(QPointF(k * 8, -1), QPointF(k * 8 + 5, -7 + (k > 4 ? k - 4 : 0)));
    p.setPen(QPen(QColor(0x3e, 0x34, 0x22), 1.6));
    p.drawLine(QPointF(-14, 2), QPointF(60, -4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x24, 0x24, 0x30));
    p.drawPolygon(QPolygonF{{-14, 2}, {-6, 0}, {-6, 3}});
    p.restore();
}

} // namespace

QImage aboutPicture()
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0, QColor(0x1c, 0x2a, 0x4a));
    sky.setColorAt(1, QColor(0x3c, 0x6a, 0x6e));
    p.fillRect(image.rect(), sky);

    // A little level: a row of wall at the top, ground below, a stone and two gems.
    const int rows = kPictureHeight / kTile + 1;
    const int columns = kPictureWidth / kTile + 1;
    // 'w' wall, 'g' ground, 'd' deep earth, 's' stone on empty, 'e' gem on empty, '.' empty
    static const char *const plan[] = {
        "wwwwwwww",
        "w..e...w",
        "w.gg.s.w",
        "wgddgggw",
        "ddddddddd",
        "ddddddddd",
    };
    for (int r = 0; r < rows && r < 6; ++r)
        for (int c = 0; c < columns && plan[r][c]; ++c) {
            const QRectF square(c * kTile - 4, r * kTile - 6, kTile, kTile);
            switch (plan[r][c]) {
            case 'w': drawWall(p, square); break;
            case 'g': drawGround(p, square); break;
            case 'd': drawEarth(p, square); break;
            case 's': drawStone(p, square); break;
            case 'e': drawGem(p, square); break;
            default: break;
            }
        }
    drawQuill(p);

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x10, 0x14, 0x18));
    p.setBrush(Qt::NoBrush);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

TForm3::TForm3(QWidget *parent) : QDialog(parent)
{
    setObjectName("Form3");
    setWindowTitle("About Quillmoss the Virtual Reality Levels-Editor v1.2");
    setFixedSize(411, 162);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(8, 8, kPictureWidth, kPictureHeight);
    Image1->setPixmap(QPixmap::fromImage(aboutPicture()));

    Label1 = new QLabel("Quillmoss the Virtual Reality Levels-Editor", this);
    Label1->setGeometry(154, 10, 250, 18);
    // The name in bold, as large as the box lets it be.
    QFont title = Label1->font();
    title.setBold(true);
    while (title.pointSizeF() > 6 && QFontMetrics(title).horizontalAdvance(Label1->text()) > Label1->width())
        title.setPointSizeF(title.pointSizeF() - 0.5);
    Label1->setFont(title);
    Label2 = new QLabel("Version 1.2", this);
    Label2->setGeometry(154, 30, 250, 16);

    Label3 = new QLabel("Made by the Quillmoss team.", this);
    Label3->setGeometry(154, 58, 250, 16);
    Label4 = new QLabel("Free to use, to change and to share.", this);
    Label4->setGeometry(154, 74, 250, 16);
    Label5 = new QLabel("Send your levels to the Quillmoss team.", this);
    Label5->setGeometry(154, 90, 250, 16);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 114, 395, 4);

    Button1 = new QPushButton("Ok", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(168, 128, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace qm
