#pragma once
// Drawing helpers shared by the editor's pictures and the themes: pictures are painted with QPainter
// on a transparent layer, then turned into graphics-file pictures whose transparent pixels carry the
// key colour (fuchsia) and whose other pixels are fully opaque.

#include "graphics/componentwriter.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <string>

namespace qm::gamegen {

// The colour that marks transparent pixels in every generated picture.
inline constexpr TColor kKeyColor = clFuchsia;
inline constexpr uint32_t kKeyRgb = 0xFF00FF; // the same colour as 0x00RRGGBB

// A w x h layer, fully transparent, ready to paint on.
QImage newLayer(int w, int h);

// A painter on image with antialiasing on.
void beginPainter(QPainter &p, QImage &image);

// The picture of a layer: pixels less than half covered become the key colour, the others take their
// colour at full strength. Opaque colours that would collapse onto the key on a 16-bit display are
// moved away from it. The picture is transparent exactly when some pixel is the key.
PictureEntry pictureFromLayer(const std::string &name, const QImage &layer, int patternWidth = 0,
                              int patternHeight = 0);

// Colour helpers.
QColor mix(const QColor &a, const QColor &b, double t); // t = 0: a, t = 1: b
QColor shade(const QColor &c, int percent);             // > 100 lighter, < 100 darker

// Text of the pixel font painted on an image (opaque pixels).
void drawPixelText(QImage &image, std::string_view text, int x, int y, const QColor &color, int scale = 1);
// The same, centred horizontally on cx.
void drawPixelTextCentred(QImage &image, std::string_view text, int cx, int y, const QColor &color, int scale = 1);

// A small deterministic random source for textures (the same numbers on every build).
class Noise {
public:
    explicit Noise(uint32_t seed) : mState(seed * 2654435761u + 1) {}
    uint32_t next()
    {
        mState ^= mState << 13;
        mState ^= mState >> 17;
        mState ^= mState << 5;
        return mState;
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % uint32_t(n)); }
    double unit() { return double(next() % 10000) / 10000.0; }

private:
    uint32_t mState;
};

} // namespace qm::gamegen
