#include "editor/thumbnail.h"

#include "editor/mapview.h"
#include "levels/levelstore.h"

#include "framepictures.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qmtest;

namespace {

struct ThumbnailCase {
    SurfacePixelFormat format;
    int32_t square;
};

class Thumbnails : public ::testing::TestWithParam<ThumbnailCase> {
protected:
    void SetUp() override
    {
        initstore();
        levelsinfo = Tlevels{};
        resetstore();
        addlevel();
        viewx = viewy = 0;
    }
    SyntheticPictures pictures{GetParam().format};
};

} // namespace

// The thumbnail is the full-size drawing of lev render sampled at the middle of each S-th of a square,
// pixel for pixel: both passes, skips reaching out of the level, wide pictures, missing patterns and
// tiles, transparent pixels.
TEST_P(Thumbnails, EqualTheFullDrawingSampled)
{
    tlevel &level = levels[1];
    level.width = 13;
    level.height = 9;
    auto put = [&](int r, int c, int tile, int pattern = 0, int kind = 100) {
        *level.cellAt(r, c) = cell{tile, 0, kind, pattern};
    };
    put(1, 1, 21);          // skips: drawn above and left of the level, clipped
    put(4, 5, 21);
    put(3, 4, 20, 0, 102);  // 80 wide, second pass over its right neighbour
    put(3, 5, 13);
    put(5, 5, 20, 1);
    put(6, 6, 20, 9);       // no such pattern
    put(7, 7, 500);         // no such picture
    put(7, 8, -1);
    put(9, 13, 21, 0, 102);
    for (int c = 1; c <= 13; ++c)
        put(8, c, 12 + c);

    const int32_t s = GetParam().square;
    const Thumbnail small = drawThumbnail(level, reduceTiles(pictures.tiles.Items(), s));
    ASSERT_EQ(small.width, 13 * s);
    ASSERT_EQ(small.height, 9 * s);
    EXPECT_EQ(small.format, GetParam().format);

    TDirectDrawSurface full(GetParam().format);
    full.SetSize(13 * kSquare, 9 * kSquare);
    full.Fill(0);
    drawlevel(full, pictures.tiles.Items(), level);
    auto sampled = [s](int t) { return kSquare * (t / s) + 20 * (2 * (t % s) + 1) / s; };
    int differing = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            differing += small.pixels[size_t(y * small.width + x)] != full.pixel(sampled(x), sampled(y));
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(
    FormatsAndSizes, Thumbnails,
    ::testing::Values(ThumbnailCase{SurfacePixelFormat::Xrgb8888, 1}, ThumbnailCase{SurfacePixelFormat::Xrgb8888, 3},
                      ThumbnailCase{SurfacePixelFormat::Xrgb8888, 40}, ThumbnailCase{SurfacePixelFormat::Rgb565, 4}),
    [](const auto &info) {
        return std::string(info.param.format == SurfacePixelFormat::Rgb565 ? "Bits16" : "Bits32") + "Size"
               + std::to_string(info.param.square);
    });
