#pragma once
// Pixel formats of drawing surfaces, and the one conversion from a colour to a surface pixel that
// pictures and single colours share (so a colour and a picture pixel of that colour always give the
// same value, and on 16 bits near colours collapse in the same way for both).

#include <cstdint>

namespace qm {

enum class SurfacePixelFormat : uint8_t {
    Xrgb8888, // 32 bits: 0x00RRGGBB
    Rgb565,   // 16 bits: rrrrrggg gggbbbbb
};

constexpr int bytesPerPixel(SurfacePixelFormat format) { return format == SurfacePixelFormat::Rgb565 ? 2 : 4; }

// Fewer bits per channel keep the high bits (truncation).
constexpr uint32_t rgbToPixel(SurfacePixelFormat format, uint32_t r, uint32_t g, uint32_t b)
{
    if (format == SurfacePixelFormat::Rgb565)
        return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    return r << 16 | g << 8 | b;
}

} // namespace qm
