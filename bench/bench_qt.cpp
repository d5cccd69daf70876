// Peer A: the fixed scene's 100 x 100 frame as a Qt program would draw it: every rectangle with
// QPainter::drawImage onto a QImage back buffer, the pictures as QImages whose key pixels have alpha
// 0 (Qt's way to a colour key) and opaque pictures as plain RGB images. The pixels come from our own
// prepared surfaces, so the frame must come out identical to ours, and its checksum is checked.
// No display is needed: QImage and QPainter draw in memory.

#include "scene.h"

#include "levels/levelstore.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <map>

using namespace qm;
using namespace qmbench;

namespace {

// 16 bits: expand 5-6-5 to 8-8-8 by repeating the high bits, so that Qt's truncating conversion back
// to 5-6-5 gives the same pixel.
uint32_t argbOf(SurfacePixelFormat format, uint32_t pixel)
{
    if (format == SurfacePixelFormat::Xrgb8888)
        return 0xFF000000u | pixel;
    const uint32_t r = pixel >> 11 & 31, g = pixel >> 5 & 63, b = pixel & 31;
    return 0xFF000000u | (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

QImage imageOf(const TDirectDrawSurface &surface, bool keyed)
{
    const SurfacePixelFormat format = surface.pixelFormat();
    QImage argb(surface.Width(), surface.Height(), QImage::Format_ARGB32_Premultiplied);
    for (int32_t y = 0; y < surface.Height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(argb.scanLine(y));
        for (int32_t x = 0; x < surface.Width(); ++x) {
            const uint32_t p = surface.pixel(x, y);
            line[x] = keyed && p == surface.ColorKey() ? 0u : argbOf(format, p);
        }
    }
    if (format == SurfacePixelFormat::Xrgb8888)
        return keyed ? argb : argb.convertToFormat(QImage::Format_RGB32);
    return argb.convertToFormat(keyed ? QImage::Format_ARGB8565_Premultiplied : QImage::Format_RGB16);
}

void BM_QtFrame100(benchmark::State &state)
{
    const SurfacePixelFormat format = formatArg(state);
    GamePictures pictures(format);
    prepareLevel(100);
    const uint64_t expected = referenceFrame(pictures);

    struct Draw {
        QPoint at;
        QRect from;
        const QImage *image;
    };
    std::map<std::pair<const TDirectDrawSurface *, bool>, QImage> images;
    std::vector<Draw> draws;
    for (const Blit &b : frameBlits(pictures.frame())) {
        auto [it, added] = images.try_emplace({b.surface, b.keyed});
        if (added)
            it->second = imageOf(*b.surface, b.keyed);
        draws.push_back({QPoint(b.x, b.y), QRect(b.rect.left, b.rect.top, int(b.rect.width()), int(b.rect.height())),
                         &it->second});
    }

    QImage back(kFrameWidth, kFrameHeight,
                format == SurfacePixelFormat::Xrgb8888 ? QImage::Format_RGB32 : QImage::Format_RGB16);
    auto frame = [&] {
        back.fill(0u);
        QPainter painter(&back);
        for (const Draw &d : draws)
            painter.drawImage(d.at, *d.image, d.from);
    };
    frame();
    for (auto _ : state) {
        frame();
        benchmark::ClobberMemory();
    }
    checkFrame(state, frameChecksum(back.constBits(), back.width(), back.height(), back.bytesPerLine(), back.depth() / 8),
               expected);
}

} // namespace

BENCHMARK(BM_QtFrame100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
