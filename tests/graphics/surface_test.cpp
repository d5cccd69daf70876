#include "testimages.h"

#include "graphics/blitkernels.h"
#include "graphics/directdrawsurface.h"
#include "graphics/graphicserrors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

using namespace qm;
using namespace qm::testing;

namespace {

// A w x h surface whose pixel (x, y) is 1 + x + 1000 y (so every pixel is told apart).
void numbered(TDirectDrawSurface &s, int32_t w, int32_t h)
{
    s.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            s.setPixel(x, y, uint32_t(1 + x + 1000 * y) & (s.pixelFormat() == SurfacePixelFormat::Rgb565 ? 0xFFFF : ~0u));
}

// The copy as the drawing rules describe it, one pixel at a time.
void referenceDraw(std::vector<uint32_t> &dest, int32_t dw, int32_t dh, int32_t x, int32_t y, const TRect &r,
                   const TDirectDrawSurface &src, bool transparent)
{
    // Only source pixels that can land somewhere are visited (rectangles may be huge).
    const int64_t x0 = std::max<int64_t>({r.left, 0, int64_t(r.left) - x}), x1 = std::min<int64_t>({r.right, src.Width(), int64_t(r.left) - x + dw});
    const int64_t y0 = std::max<int64_t>({r.top, 0, int64_t(r.top) - y}), y1 = std::min<int64_t>({r.bottom, src.Height(), int64_t(r.top) - y + dh});
    for (int64_t sy = y0; sy < y1; ++sy)
        for (int64_t sx = x0; sx < x1; ++sx) {
            int64_t dx = x + (sx - r.left), dy = y + (sy - r.top);
            if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height() || dx < 0 || dy < 0 || dx >= dw || dy >= dh)
                continue;
            uint32_t v = src.pixel(int32_t(sx), int32_t(sy));
            if (transparent && v == src.ColorKey())
                continue;
            dest[size_t(dy * dw + dx)] = v;
        }
}

std::vector<uint32_t> contents(const TDirectDrawSurface &s)
{
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < s.Height(); ++y)
        for (int32_t x = 0; x < s.Width(); ++x)
            out.push_back(s.pixel(x, y));
    return out;
}

} // namespace

TEST(SurfaceDraw, NegativePositionDrawsTheLowerRightPart)
{
    TDirectDrawSurface src, dest;
    numbered(src, 40, 40);
    dest.SetSize(100, 100);
    dest.Draw(-10, -5, {0, 0, 40, 40}, &src, false);
    EXPECT_EQ(dest.pixel(0, 0), src.pixel(10, 5));
    EXPECT_EQ(dest.pixel(29, 34), src.pixel(39, 39));
    EXPECT_EQ(dest.pixel(30, 0), 0u);
    EXPECT_EQ(dest.pixel(0, 35), 0u);
}

TEST(SurfaceDraw, AtOrBeyondTheRightEdgeDrawsNothing)
{
    TDirectDrawSurface src, dest;
    numbered(src, 4, 4);
    dest.SetSize(10, 10);
    for (int32_t x : {10, 11, INT32_MAX}) {
        dest.Draw(x, 0, {0, 0, 4, 4}, &src, false);
        dest.Draw(0, x, {0, 0, 4, 4}, &src, false);
    }
    EXPECT_EQ(contents(dest), std::vector<uint32_t>(100, 0));
}

TEST(SurfaceDraw, TransparentSkipsOnlyTheKeyAndOpaqueCopiesIt)
{
    TDirectDrawSurface src, dest;
    numbered(src, 3, 1);
    src.setColorKey(src.pixel(1, 0));
    dest.SetSize(3, 1);
    dest.Fill(77);
    dest.Draw(0, 0, {0, 0, 3, 1}, &src, true);
    EXPECT_EQ(contents(dest), (std::vector<uint32_t>{1, 77, 3}));
    dest.Draw(0, 0, {0, 0, 3, 1}, &src, false);
    EXPECT_EQ(contents(dest), (std::vector<uint32_t>{1, 2, 3}));
}

TEST(SurfaceDraw, ExtremeRectanglesNeitherCrashNorDraw)
{
    TDirectDrawSurface src, dest;
    numbered(src, 8, 8);
    dest.SetSize(8, 8);
    const TRect rects[] = {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {5, 5, 2, 2}, {INT32_MAX, 0, INT32_MIN, 8},
                           {-100, -100, -90, -90}, {8, 8, 20, 20}};
    for (const TRect &r : rects)
        for (int32_t p : {INT32_MIN, -20, 0, 3})
            dest.Draw(p, p, r, &src, true);
    dest.Draw(0, 0, {0, 0, 8, 8}, nullptr, false);
    TDirectDrawSurface none;
    dest.Draw(0, 0, {0, 0, 8, 8}, &none, false);
    // Only the huge rectangle lands, at (0, 0) from source (0, 0) clipped by both surfaces.
    std::vector<uint32_t> expect(64, 0);
    for (const TRect &r : rects)
        for (int32_t p : {INT32_MIN, -20, 0, 3})
            referenceDraw(expect, 8, 8, p, p, r, src, true);
    EXPECT_EQ(contents(dest), expect);
}

TEST(SurfaceDraw, OverlappingCopyWithinOneSurface)
{
    TDirectDrawSurface s;
    numbered(s, 10, 10);
    std::vector<uint32_t> expect = contents(s);
    std::vector<uint32_t> before = expect;
    TDirectDrawSurface copy;
    numbered(copy, 10, 10);
    referenceDraw(expect, 10, 10, 2, 1, {0, 0, 8, 8}, copy, false);
    s.Draw(2, 1, {0, 0, 8, 8}, &s, false);
    EXPECT_EQ(contents(s), expect);
}

// Keyed copies through the row runs and the vector kernels match the per-pixel rule, for sources
// with no key pixels, few, many, whole rows of them, and after pixels or the key change.
class KeyedDraw : public ::testing::TestWithParam<SurfacePixelFormat> {};

TEST_P(KeyedDraw, MatchesThePerPixelRuleEverywhere)
{
    std::mt19937 rng(42);
    for (int shape = 0; shape < 6; ++shape) {
        TDirectDrawSurface src(GetParam()), dest(GetParam());
        int32_t sw = int32_t(rng() % 90 + 1), sh = int32_t(rng() % 30 + 1);
        src.SetSize(sw, sh);
        const uint32_t key = 5;
        for (int32_t y = 0; y < sh; ++y)
            for (int32_t x = 0; x < sw; ++x) {
                bool isKey = shape == 0   ? false
                             : shape == 1 ? rng() % 50 == 0
                             : shape == 2 ? rng() % 2 == 0
                             : shape == 3 ? y % 3 == 0
                             : shape == 4 ? (x / 7) % 2 == 0
                                          : true;
                src.setPixel(x, y, isKey ? key : 100 + uint32_t(rng() % 1000));
            }
        src.setColorKey(key);
        dest.SetSize(64, 48);
        std::vector<uint32_t> expect(64 * 48, 9);
        dest.Fill(9);
        for (int round = 0; round < 60; ++round) {
            if (round == 30) { // change a pixel and the key: what was learnt about the source is stale
                src.setPixel(0, 0, key);
                src.setColorKey(100);
            }
            int32_t x = int32_t(rng() % 140) - 70, y = int32_t(rng() % 100) - 50;
            int32_t l = int32_t(rng() % 100) - 10, t = int32_t(rng() % 40) - 5;
            TRect r{l, t, l + int32_t(rng() % 100), t + int32_t(rng() % 40)};
            referenceDraw(expect, 64, 48, x, y, r, src, true);
            dest.Draw(x, y, r, &src, true);
            ASSERT_EQ(contents(dest), expect) << "shape " << shape << " round " << round;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, KeyedDraw, ::testing::Values(SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565),
                         [](const auto &entry) {
                             return std::string(entry.param == SurfacePixelFormat::Rgb565 ? "Rgb565" : "Xrgb8888");
                         });

TEST(BlitKernels, EveryKernelMatchesTheScalarOneAtEveryLength)
{
    std::mt19937 rng(3);
    for (blit::Kernel k : {blit::Kernel::Sse2, blit::Kernel::Avx2}) {
        blit::KeyedRow32 k32 = blit::keyedRow32(k);
        blit::KeyedRow16 k16 = blit::keyedRow16(k);
        if (!k32 || !k16)
            continue;
        for (size_t n = 0; n < 70; ++n) {
            std::vector<uint32_t> s32(n), d32(n), e32(n);
            std::vector<uint16_t> s16(n), d16(n), e16(n);
            for (size_t i = 0; i < n; ++i) {
                s32[i] = rng() % 3 == 0 ? 0xABCDEF : rng();
                d32[i] = e32[i] = rng();
                s16[i] = rng() % 3 == 0 ? 0xF81F : uint16_t(rng());
                d16[i] = e16[i] = uint16_t(rng());
            }
            blit::keyedRow32(blit::Kernel::Scalar)(e32.data(), s32.data(), n, 0xABCDEF);
            k32(d32.data(), s32.data(), n, 0xABCDEF);
            EXPECT_EQ(d32, e32) << blit::kernelName(k) << " n=" << n;
            blit::keyedRow16(blit::Kernel::Scalar)(e16.data(), s16.data(), n, 0xF81F);
            k16(d16.data(), s16.data(), n, 0xF81F);
            EXPECT_EQ(d16, e16) << blit::kernelName(k) << " n=" << n;
        }
    }
}

TEST(SurfaceFill, SetsEveryPixelToTheRawValue)
{
    for (auto format : {SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565}) {
        TDirectDrawSurface s(format);
        numbered(s, 13, 7);
        s.Fill(0);
        EXPECT_EQ(contents(s), std::vector<uint32_t>(91, 0));
        s.Fill(0x1234);
        EXPECT_EQ(contents(s), std::vector<uint32_t>(91, 0x1234));
    }
}

TEST(SurfaceSize, ZeroReleasesAndHugeFailsWithTheMessage)
{
    TDirectDrawSurface s;
    s.SetSize(5, 5);
    s.setColorKey(3);
    s.SetSize(5, 5);
    EXPECT_EQ(s.ColorKey(), 0u) << "a new surface has key 0";
    s.SetSize(0, 5);
    EXPECT_FALSE(s.exists());
    EXPECT_EQ(s.Width(), 0);
    try {
        s.SetSize(INT32_MAX, INT32_MAX);
        FAIL();
    } catch (const EDirectDrawSurfaceError &e) {
        EXPECT_STREQ(e.what(), "Surface cannot be made");
    }
}

TEST(ColorConversion, AColourAndAPicturePixelOfItAgreeInBothFormats)
{
    std::mt19937 rng(11);
    std::vector<uint32_t> rgb;
    for (int i = 0; i < 64; ++i)
        rgb.push_back(rng() & 0xFFFFFF);
    TDIB dib = decodeDib(encodeDib(PixelImage::fromRgb(64, 1, rgb), {.bitCount = 24}));
    for (auto format : {SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565}) {
        TDirectDrawSurface s(format);
        s.LoadFromPicture(dib, {0, 0, 64, 1});
        for (int32_t x = 0; x < 64; ++x)
            EXPECT_EQ(s.pixel(x, 0), s.ColorToPixel(toTColor(rgb[size_t(x)])));
    }
}

TEST(ColorConversion, NearColoursCollapseOnSixteenBits)
{
    TDirectDrawSurface wide(SurfacePixelFormat::Xrgb8888), narrow(SurfacePixelFormat::Rgb565);
    const TColor key = clFuchsia, near = rgbColor(0xFC, 0x01, 0xFA);
    EXPECT_NE(wide.ColorToPixel(key), wide.ColorToPixel(near));
    EXPECT_EQ(narrow.ColorToPixel(key), narrow.ColorToPixel(near));
    EXPECT_EQ(narrow.ColorToPixel(clBtnFace), narrow.ColorToPixel(rgbColor(0xC0, 0xC0, 0xC0)));
    EXPECT_EQ(wide.ColorToPixel(clBtnFace), 0xC0C0C0u);
}

TEST(LoadFromPicture, TakesTheSizeAndPixelsOfTheRectangle)
{
    PixelImage image = gradient(10, 6);
    TDIB dib = decodeDib(encodeDib(image, {.bitCount = 32}));
    TDirectDrawSurface s;
    s.LoadFromPicture(dib, {4, 2, 9, 5});
    ASSERT_EQ(s.Width(), 5);
    ASSERT_EQ(s.Height(), 3);
    EXPECT_EQ(s.pixel(0, 0), image.rgbAt(4, 2));
    EXPECT_EQ(s.pixel(4, 2), image.rgbAt(8, 4));
}

// Under a clip, every kind of write (keyed, opaque, converted and self copies, fills, pixels) changes
// exactly what it changes without one, within the clip, and nothing outside; the drawn bounds hold
// every pixel the unclipped write changes, whatever the clip (an empty one included).
TEST(SurfaceClip, KeepsEveryWriteInsideAndTheDrawnBoundsHoldWhatItWouldChange)
{
    std::mt19937 rng(7);
    TDirectDrawSurface wide(SurfacePixelFormat::Xrgb8888), narrow(SurfacePixelFormat::Rgb565);
    numbered(wide, 50, 30);
    numbered(narrow, 50, 30);
    wide.setColorKey(wide.pixel(3, 3));
    for (int round = 0; round < 400; ++round) {
        TDirectDrawSurface free(SurfacePixelFormat::Xrgb8888), clipped(SurfacePixelFormat::Xrgb8888);
        numbered(free, 64, 48);
        numbered(clipped, 64, 48);
        const std::vector<uint32_t> before = contents(free);
        const int32_t cl = int32_t(rng() % 80) - 8, ct = int32_t(rng() % 60) - 6;
        const TRect clip = rng() % 8 ? TRect{cl, ct, cl + int32_t(rng() % 70), ct + int32_t(rng() % 50)} : TRect{};
        clipped.setClip(clip);
        clipped.beginDrawnBounds();
        const int32_t x = int32_t(rng() % 100) - 30, y = int32_t(rng() % 70) - 20;
        const TRect r{int32_t(rng() % 20) - 5, int32_t(rng() % 10) - 3, int32_t(rng() % 60), int32_t(rng() % 40)};
        const uint32_t value = uint32_t(rng());
        const int kind = int(rng() % 5);
        const bool keyed = rng() % 2 == 0;
        for (TDirectDrawSurface *s : {&free, &clipped}) {
            switch (kind) {
            case 0: s->Draw(x, y, r, &wide, keyed); break;
            case 1: s->Draw(x, y, r, &narrow, true); break;
            case 2: s->Draw(x, y, r, s, false); break;
            case 3: s->Fill(TRect{x, y, x + r.right, y + r.bottom}, value); break;
            default: s->setPixel(x, y, value); break;
            }
        }
        const TRect bounds = clipped.endDrawnBounds();
        const std::vector<uint32_t> drawn = contents(free), got = contents(clipped);
        const TRect in = clipped.clip();
        for (int32_t py = 0; py < 48; ++py)
            for (int32_t px = 0; px < 64; ++px) {
                const size_t at = size_t(py * 64 + px);
                const bool inside = px >= in.left && px < in.right && py >= in.top && py < in.bottom;
                ASSERT_EQ(got[at], inside ? drawn[at] : before[at]) << "round " << round << " kind " << kind;
                if (drawn[at] != before[at]) {
                    ASSERT_TRUE(px >= bounds.left && px < bounds.right && py >= bounds.top && py < bounds.bottom)
                        << "round " << round << " kind " << kind;
                }
            }
    }
}
