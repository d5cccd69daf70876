// Surfaces made smaller for the map's zoom: averages of what shows, the key kept where most of a block
// is the key, in both pixel formats, and rectangles at and past the surface's edges.

#include "graphics/surfacescale.h"

#include <gtest/gtest.h>

#include <random>

using namespace qm;

namespace {

class SurfaceScale : public ::testing::TestWithParam<SurfacePixelFormat> {};

} // namespace

TEST_P(SurfaceScale, BlocksAverageWhatShowsAndKeepTheKey)
{
    const SurfacePixelFormat format = GetParam();
    TDirectDrawSurface source(format);
    source.SetSize(10, 6);
    const uint32_t key = rgbToPixel(format, 0, 0, 0);
    const uint32_t red = rgbToPixel(format, 200, 0, 0), blue = rgbToPixel(format, 0, 0, 192);
    source.Fill(red);
    source.setColorKey(key);
    // Block (0, 0) of 4 x 4: two key pixels (shows), block (1, 0): half key (stays the key).
    source.setPixel(0, 0, key);
    source.setPixel(1, 0, key);
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 6; ++x)
            source.setPixel(x, y, key);
    for (int y = 0; y < 4; ++y)
        for (int x = 6; x < 8; ++x)
            source.setPixel(x, y, blue);
    TDirectDrawSurface small;
    scaleDown(source, {0, 0, 10, 6}, 4, true, small);
    ASSERT_EQ(small.pixelFormat(), format);
    ASSERT_EQ(small.Width(), 3) << "the partial block at the right makes a pixel";
    ASSERT_EQ(small.Height(), 2);
    EXPECT_EQ(small.ColorKey(), key);
    EXPECT_EQ(small.pixel(0, 0), red) << "key pixels do not darken the average";
    EXPECT_EQ(small.pixel(1, 0), key);
    EXPECT_EQ(small.pixel(2, 1), red);

    // Without the key, every pixel counts: the key's colour is a colour like any other.
    scaleDown(source, {4, 0, 8, 4}, 4, false, small);
    ASSERT_EQ(small.Width(), 1);
    EXPECT_EQ(small.pixel(0, 0), rgbToPixel(format, 0, 0, 96));

    // An average equal to the key is moved off it, so it shows.
    TDirectDrawSurface dark(format);
    dark.SetSize(2, 2);
    dark.setColorKey(rgbToPixel(format, 0, 0, 8));
    dark.Fill(rgbToPixel(format, 0, 0, 8));
    dark.setPixel(0, 0, rgbToPixel(format, 0, 0, 4));
    dark.setPixel(1, 0, rgbToPixel(format, 0, 0, 4));
    dark.setPixel(0, 1, rgbToPixel(format, 0, 0, 16));
    scaleDown(dark, {0, 0, 2, 2}, 2, true, small);
    EXPECT_NE(small.pixel(0, 0), dark.ColorKey());
}

TEST_P(SurfaceScale, RectanglesAreClippedToTheSource)
{
    TDirectDrawSurface source(GetParam());
    source.SetSize(8, 8);
    source.Fill(rgbToPixel(GetParam(), 40, 80, 120));
    TDirectDrawSurface small;
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        const int32_t l = int32_t(random() % 24) - 8, t = int32_t(random() % 24) - 8;
        const TRect rect{l, t, l + int32_t(random() % 20) - 4, t + int32_t(random() % 20) - 4};
        const int32_t divisor = int32_t(random() % 6) - 1;
        scaleDown(source, rect, divisor, true, small);
        const int32_t w = std::min(rect.right, 8) - std::max(rect.left, 0);
        const int32_t h = std::min(rect.bottom, 8) - std::max(rect.top, 0);
        const int32_t d = std::max(divisor, 1);
        if (w <= 0 || h <= 0) {
            EXPECT_FALSE(small.exists());
            continue;
        }
        ASSERT_EQ(small.Width(), (w + d - 1) / d);
        ASSERT_EQ(small.Height(), (h + d - 1) / d);
        for (int32_t y = 0; y < small.Height(); ++y)
            for (int32_t x = 0; x < small.Width(); ++x)
                ASSERT_EQ(small.pixel(x, y), source.pixel(0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(BothPixelFormats, SurfaceScale,
                         ::testing::Values(SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565));
