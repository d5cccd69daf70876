#include "editor/core/thumbnail.h"

#include "editor/core/mapview.h"
#include "levels/levelstore.h"
#include "levels/tiles.h"

#include "framepictures.h"
#include "storebytes.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qmtest;

namespace {

constexpr int kOddSizes = 69;   // patterns 50 x 30 stepped by skips 3 and 7
constexpr int kShifted = 70;    // negative skips: drawn right of and below its square
constexpr int kDust = 71;       // 1,100,000 patterns of one pixel
constexpr int kFarAway = 72;    // skips of 2^31 - 1

// The frame tests' theme and four pictures of unusual geometry.
Bytes oddTheme()
{
    std::vector<PictureEntry> pictures = syntheticThemePictures();
    PixelImage odd = solid(106, 67, 0);
    for (int y = 0; y < odd.height; ++y)
        for (int x = 0; x < odd.width; ++x)
            odd.rgb[size_t(y * odd.width + x)] = (x + y) % 7 == 0 ? 0 : tileColor(kOddSizes, x / 53 + 2 * (y / 37));
    pictures.push_back(PictureEntry::fromImage("odd", odd, {.bitCount = 24}));
    pictures.back().patternWidth = 50;
    pictures.back().patternHeight = 30;
    pictures.back().skipWidth = 3;
    pictures.back().skipHeight = 7;
    pictures.push_back(tilePicture(kShifted));
    pictures.back().skipWidth = -30;
    pictures.back().skipHeight = -15;
    pictures.push_back(PictureEntry::fromImage("dust", solid(1100, 1000, tileColor(kDust)), {.bitCount = 24}));
    pictures.back().patternWidth = pictures.back().patternHeight = 1;
    pictures.push_back(tilePicture(kFarAway));
    pictures.back().skipWidth = pictures.back().skipHeight = 2147483647;
    return writeGraphicsFile(pictures);
}

struct ThumbnailCase {
    SurfacePixelFormat format;
    int32_t square;
};

class Thumbnails : public ::testing::TestWithParam<ThumbnailCase> {
protected:
    void SetUp() override
    {
        storeWithOneNewLevel();
        viewx = viewy = 0;
        target.Initialize();
        tiles.SetDXDraw(&target);
        tiles.Items().LoadFromStream(theme.data(), theme.size());
    }
    static void put(int r, int c, int tile, int pattern = 0, int kind = kKindOrdinary)
    {
        *levels[1].cellAt(r, c) = cell{tile, 0, kind, pattern};
    }
    static inline const Bytes theme = oddTheme();
    OffscreenDrawTarget target{GetParam().format, 1, 1};
    TDXImageList tiles;
};

} // namespace

// The thumbnail is the full-size drawing of lev render sampled at the middle of each S-th of a square,
// pixel for pixel: both passes, skips of either sign reaching out of the level, patterns larger or
// smaller than a square, missing patterns and pictures, transparent pixels.
TEST_P(Thumbnails, EqualTheFullDrawingSampled)
{
    tlevel &level = levels[1];
    level.width = 13;
    level.height = 9;
    put(1, 1, 21);          // skips: drawn above and left of the level, clipped
    put(4, 5, 21);
    put(3, 4, 20, 0, kKindOnTop);  // 80 wide, second pass over its right neighbour
    put(3, 5, 13);
    put(5, 5, 20, 1);
    put(6, 6, 20, 9);       // no such pattern
    put(7, 7, 500);         // no such picture
    put(7, 8, -1);
    put(9, 13, 21, 0, kKindOnTop);
    put(2, 9, kOddSizes, 3);
    put(2, 10, kOddSizes, 1, kKindOnTop);
    put(5, 11, kShifted);
    put(9, 12, kShifted, 0, kKindOnTop);
    put(4, 1, kDust, 123456);
    put(4, 2, kFarAway);
    for (int c = 1; c <= 13; ++c)
        put(8, c, 12 + c);

    const int32_t s = GetParam().square;
    const Thumbnail small = drawThumbnail(level, reduceTiles(tiles.Items(), s));
    ASSERT_EQ(small.width, 13 * s);
    ASSERT_EQ(small.height, 9 * s);
    EXPECT_EQ(small.format, GetParam().format);

    TDirectDrawSurface full(GetParam().format);
    full.SetSize(13 * kSquare, 9 * kSquare);
    full.Fill(0);
    drawLevel(full, tiles.Items(), level);
    auto sampled = [s](int t) { return kSquare * (t / s) + 20 * (2 * (t % s) + 1) / s; };
    int differing = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            differing += small.pixels[size_t(y * small.width + x)] != full.pixel(sampled(x), sampled(y));
    EXPECT_EQ(differing, 0);
}

// A picture cut into patterns of more than 2^20 samples in all keeps its first ones only: a hostile
// graphics file cannot make the tiles of a thumbnail grow without bound.
TEST_P(Thumbnails, KeepABoundedNumberOfSamples)
{
    const ThumbnailTiles reduced = reduceTiles(tiles.Items(), GetParam().square);
    for (const ThumbnailTiles::Tile &tile : reduced.tiles)
        EXPECT_LE(tile.samples.size(), size_t(1) << 20);
    const ThumbnailTiles::Tile &dust = reduced.tiles[kDust];
    EXPECT_TRUE(dust.width * dust.height == 0 || dust.patterns < 1100000); // no samples: nothing to keep
}

INSTANTIATE_TEST_SUITE_P(
    FormatsAndSizes, Thumbnails,
    ::testing::Values(ThumbnailCase{SurfacePixelFormat::Xrgb8888, 1}, ThumbnailCase{SurfacePixelFormat::Xrgb8888, 3},
                      ThumbnailCase{SurfacePixelFormat::Xrgb8888, 40}, ThumbnailCase{SurfacePixelFormat::Rgb565, 4}),
    [](const auto &entry) {
        return std::string(entry.param.format == SurfacePixelFormat::Rgb565 ? "Bits16" : "Bits32") + "Size"
               + std::to_string(entry.param.square);
    });
