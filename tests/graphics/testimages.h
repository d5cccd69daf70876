#pragma once
// Small pictures and graphics files for the tests, made with the program's own writer.

#include "graphics/componentwriter.h"
#include "graphics/dib.h"
#include "graphics/graphicserrors.h"
#include "platform/bytes.h"

#include <cstdint>
#include <random>
#include <vector>

namespace qm::testing {

// A w x h true-colour image with a different colour at every pixel.
inline PixelImage gradient(int32_t w, int32_t h)
{
    std::vector<uint32_t> rgb;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            rgb.push_back(uint32_t((x * 37) & 0xFF) << 16 | uint32_t((y * 53) & 0xFF) << 8 | uint32_t((x + y) * 11 & 0xFF));
    return PixelImage::fromRgb(w, h, rgb);
}

// A w x h image of random palette indexes below `colors`, with a palette of distinct colours.
inline PixelImage randomIndexed(int32_t w, int32_t h, int colors, unsigned seed, bool runs = false)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> idx;
    uint8_t last = 0;
    for (int32_t i = 0; i < w * h; ++i) {
        if (!runs || rng() % 4 == 0)
            last = uint8_t(rng() % unsigned(colors));
        idx.push_back(last);
    }
    std::vector<uint32_t> palette;
    for (int i = 0; i < colors; ++i)
        palette.push_back(uint32_t(i * 0x010305 + 0x102030) & 0xFFFFFF);
    return PixelImage::fromIndexed(w, h, idx, palette);
}

inline TDIB decodeDib(const Bytes &data)
{
    TDIB dib;
    ByteReader in(data.data(), data.size(), throwStreamReadError);
    dib.readData(in);
    return dib;
}

inline TBitmap decodeBitmap(const Bytes &data)
{
    TBitmap bmp;
    ByteReader in(data.data(), data.size(), throwStreamReadError);
    bmp.readData(in);
    return bmp;
}

inline TColor toTColor(uint32_t rgb) { return rgbColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)); }

// A file with one picture per entry; every picture a TDIB of the given size in 24 bits.
inline Bytes fileWithPictures(const std::vector<PictureEntry> &entries, const GraphicsFileOptions &options = {})
{
    return writeGraphicsFile(entries, options);
}

inline PictureEntry picture(const std::string &name, int32_t w, int32_t h)
{
    return PictureEntry::fromImage(name, gradient(w, h), {.bitCount = 24});
}

} // namespace qm::testing
