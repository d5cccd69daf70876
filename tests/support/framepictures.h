#pragma once
// Synthetic pictures for frame tests: every tile a solid colour of its own, so that a pixel of a frame
// tells which picture (and which pattern) was drawn there.

#include "graphics/componentwriter.h"
#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"

#include <cstring>
#include <map>

namespace qmtest {

// The colour of tile k, pattern p: distinct for every (k, p) in 16 bits too, never black (the key).
inline uint32_t tileColor(int tile, int pattern = 0)
{
    return uint32_t(8 + tile * 3 % 31 * 8) << 16 | uint32_t(4 + pattern * 12 % 252) << 8 | uint32_t(8 + tile / 31 * 64);
}

inline qm::PixelImage solid(int w, int h, uint32_t rgb) { return qm::PixelImage::fromRgb(w, h, std::vector<uint32_t>(size_t(w * h), rgb)); }

// A picture of patterns 40 x 40, pattern p filled with tileColor(tile, p), with a black (transparent)
// pixel at each pattern's top-left corner.
inline qm::PictureEntry tilePicture(int tile, int columns = 1, int rows = 1)
{
    qm::PixelImage image = solid(40 * columns, 40 * rows, 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.rgb[size_t(y * image.width + x)] =
                (x % 40 == 0 && y % 40 == 0) ? 0 : tileColor(tile, (y / 40) * columns + x / 40);
    qm::PictureEntry entry = qm::PictureEntry::fromImage(std::to_string(tile), image, {.bitCount = 24});
    entry.patternWidth = 40;
    entry.patternHeight = 40;
    return entry;
}

// A picture "huge" that declares side x side pixels but holds the data of one: its rows are left out
// (they are black), or its run-length data ends the picture early. A tiny file can so declare a
// picture larger than any surface.
inline qm::PictureEntry pictureOfSide(int32_t side, int bitCount = 1, bool runLength = false)
{
    qm::Bytes bitmap = qm::encodeBitmap(qm::PixelImage::fromIndexed(1, 1, {0}, {0, 0xFFFFFF}),
                                        {.bitCount = bitCount, .runLength = runLength});
    std::memcpy(bitmap.data() + 4 + 18, &side, 4);
    std::memcpy(bitmap.data() + 4 + 22, &side, 4);
    qm::PictureEntry entry;
    entry.name = "huge";
    entry.graphicClass = "TBitmap";
    entry.graphicData = bitmap;
    return entry;
}

inline constexpr uint32_t kBackground = 0x204080;
inline constexpr uint32_t kSlot = 0x808080;
inline constexpr uint32_t kPanel = 0xC0C0C0;
inline const std::map<std::string, uint32_t> kPointerColors{
    {"mousex", 0xF0F000}, {"mouseup", 0x00F0F0}, {"mousedown", 0xF000F0}, {"mouseleft", 0x10F010},
    {"mouseright", 0xF01010}, {"mouse", 0xFFFFFF}};

// A theme with pictures 0..68; 20 is 80 wide (two patterns), 21 has SkipWidth 10 and SkipHeight 40.
inline std::vector<qm::PictureEntry> syntheticThemePictures()
{
    std::vector<qm::PictureEntry> pictures;
    pictures.push_back(qm::PictureEntry::fromImage("background", solid(640, 480, kBackground), {.bitCount = 24}));
    for (int k = 1; k <= 68; ++k)
        pictures.push_back(tilePicture(k, k == 20 ? 2 : 1));
    pictures[21].skipWidth = 10;
    pictures[21].skipHeight = 40;
    return pictures;
}

inline qm::Bytes syntheticTheme() { return qm::writeGraphicsFile(syntheticThemePictures()); }

// Editor pictures: "fondtop" is the panel, black (transparent) where the slots show.
inline qm::Bytes syntheticEditor()
{
    std::vector<qm::PictureEntry> pictures;
    pictures.push_back(qm::PictureEntry::fromImage("p", solid(40, 40, kSlot), {.bitCount = 24}));
    qm::PixelImage panel = solid(121, 483, kPanel);
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 3; ++k)
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    panel.rgb[size_t((97 + 41 * i + y) * 121 + 1 + 41 * k + x)] = 0;
    pictures.push_back(qm::PictureEntry::fromImage("fondtop", panel, {.bitCount = 24}));
    for (const auto &[name, color] : kPointerColors)
        pictures.push_back(qm::PictureEntry::fromImage(name, solid(12, 12, color), {.bitCount = 24}));
    return qm::writeGraphicsFile(pictures);
}

// Both image lists prepared for an off-screen back buffer of the editor's size.
struct SyntheticPictures {
    qm::OffscreenDrawTarget target;
    qm::TDXImageList editor, tiles;
    explicit SyntheticPictures(qm::SurfacePixelFormat format) : target(format)
    {
        target.Initialize();
        editor.SetDXDraw(&target);
        tiles.SetDXDraw(&target);
        qm::Bytes e = syntheticEditor(), t = syntheticTheme();
        editor.Items().LoadFromStream(e.data(), e.size());
        tiles.Items().LoadFromStream(t.data(), t.size());
    }
    uint32_t pixel(int x, int y) { return target.Surface().pixel(x, y); }
    uint32_t expected(uint32_t rgb) const
    {
        return qm::rgbToPixel(target.displayFormat(), rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
    }
};

} // namespace qmtest
