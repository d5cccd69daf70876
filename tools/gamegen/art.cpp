#include "art.h"

#include "graphics/pixelfont.h"

#include <algorithm>

namespace qm::gamegen {

QImage newLayer(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginPainter(QPainter &p, QImage &image)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
}

namespace {

// On a 16-bit (5-6-5) display a colour whose top bits equal the key's would be skipped too.
bool collapsesOntoKey(uint32_t r, uint32_t g, uint32_t b)
{
    return (r >> 3) == 31 && (g >> 2) == 0 && (b >> 3) == 31;
}

} // namespace

PictureEntry pictureFromLayer(const std::string &name, const QImage &layer, int patternWidth, int patternHeight)
{
    const QImage image = layer.convertToFormat(QImage::Format_ARGB32);
    std::vector<uint32_t> rgb;
    rgb.reserve(size_t(image.width()) * size_t(image.height()));
    bool anyKey = false;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = line[x];
            if (qAlpha(px) < 128) {
                rgb.push_back(kKeyRgb);
                anyKey = true;
                continue;
            }
            uint32_t r = uint32_t(qRed(px)), g = uint32_t(qGreen(px)), b = uint32_t(qBlue(px));
            if (collapsesOntoKey(r, g, b))
                g = 8;
            rgb.push_back(r << 16 | g << 8 | b);
        }
    }
    PictureEntry entry = PictureEntry::fromImage(name, PixelImage::fromRgb(image.width(), image.height(), rgb),
                                                 {.bitCount = 24});
    entry.patternWidth = patternWidth;
    entry.patternHeight = patternHeight;
    entry.transparent = anyKey;
    entry.transparentColor = anyKey ? kKeyColor : clBlack;
    return entry;
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor shade(const QColor &c, int percent)
{
    if (percent >= 100)
        return mix(c, QColor(255, 255, 255), (percent - 100) / 100.0);
    return mix(QColor(0, 0, 0, c.alpha()), c, percent / 100.0);
}

void drawPixelText(QImage &image, std::string_view text, int x, int y, const QColor &color, int scale)
{
    const QRgb value = color.rgba();
    forEachTextPixel(text, x, y, scale, [&](int px, int py) {
        if (px >= 0 && py >= 0 && px < image.width() && py < image.height())
            image.setPixel(px, py, value);
    });
}

void drawPixelTextCentred(QImage &image, std::string_view text, int cx, int y, const QColor &color, int scale)
{
    drawPixelText(image, text, cx - textWidth(text, scale) / 2, y, color, scale);
}

} // namespace qm::gamegen
