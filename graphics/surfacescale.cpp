#include "surfacescale.h"

#include <algorithm>

namespace qm {

namespace {

struct Channels {
    uint32_t r, g, b;
};

Channels channelsOf(SurfacePixelFormat format, uint32_t pixel)
{
    if (format == SurfacePixelFormat::Rgb565)
        return {pixel >> 11 & 0x1F, pixel >> 5 & 0x3F, pixel & 0x1F};
    return {pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF};
}

uint32_t pixelOf(SurfacePixelFormat format, Channels c)
{
    if (format == SurfacePixelFormat::Rgb565)
        return c.r << 11 | c.g << 5 | c.b;
    return c.r << 16 | c.g << 8 | c.b;
}

} // namespace

void scaleDown(const TDirectDrawSurface &source, const TRect &srcRect, int32_t divisor, bool transparent,
               TDirectDrawSurface &dest)
{
    const SurfacePixelFormat format = source.pixelFormat();
    divisor = std::max(divisor, 1);
    const int32_t left = std::max(srcRect.left, 0), top = std::max(srcRect.top, 0);
    const int32_t right = std::min(srcRect.right, source.Width()), bottom = std::min(srcRect.bottom, source.Height());
    if (dest.pixelFormat() != format)
        dest.setPixelFormat(format);
    if (left >= right || top >= bottom) {
        dest.SetSize(0, 0);
        return;
    }
    const int32_t width = (right - left + divisor - 1) / divisor, height = (bottom - top + divisor - 1) / divisor;
    dest.SetSize(width, height);
    const uint32_t key = source.ColorKey();
    dest.setColorKey(key);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t x0 = left + x * divisor, y0 = top + y * divisor;
            const int32_t x1 = std::min(x0 + divisor, right), y1 = std::min(y0 + divisor, bottom);
            Channels sum{0, 0, 0};
            int32_t shown = 0, keyed = 0;
            for (int32_t sy = y0; sy < y1; ++sy)
                for (int32_t sx = x0; sx < x1; ++sx) {
                    const uint32_t p = source.pixel(sx, sy);
                    if (transparent && p == key) {
                        ++keyed;
                        continue;
                    }
                    const Channels c = channelsOf(format, p);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++shown;
                }
            uint32_t out = key;
            if (shown > keyed) {
                const auto mean = [shown](uint32_t total) { return (total + uint32_t(shown) / 2) / uint32_t(shown); };
                out = pixelOf(format, {mean(sum.r), mean(sum.g), mean(sum.b)});
                if (transparent && out == key)
                    out ^= 1;
            }
            dest.setPixel(x, y, out);
        }
    }
}

} // namespace qm
