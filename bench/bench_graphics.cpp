// The graphics runtime: decoding pictures, and composing a synthetic worst-case frame (pictures drawn
// in code: mostly see-through objects, 8-bit palette pictures, a panel with windows) through the image
// lists, side by side with the floor that any frame of the same rectangles costs (each rectangle
// copied row by row, no key test). Compare in one run:
//   BM_GraphicsFrame against BM_GraphicsFloor in both formats (the editor's own frame is in
//   bench_editor.cpp);
//   BM_DecodeDib24 against BM_CopyPixelBytes24; BM_ClippedDraw at a few nanoseconds. The decoding of
//   the same bitmaps against SDL is in bench_sdl.cpp.

#include "graphics/componentwriter.h"
#include "graphics/dib.h"
#include "graphics/dximagelist.h"
#include "graphics/graphicserrors.h"
#include "graphics/offscreendrawtarget.h"
#include "platform/bytes.h"

#include "decodeinput.h"
#include "scene.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace qm;

constexpr uint32_t kKey = 0xFF00FF; // 0x00RRGGBB fuchsia, the pictures' transparent colour

PixelImage picture24(int32_t w, int32_t h, const std::function<uint32_t(int32_t, int32_t)> &pixel)
{
    std::vector<uint32_t> rgb;
    rgb.reserve(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            rgb.push_back(pixel(x, y));
    return PixelImage::fromRgb(w, h, std::move(rgb));
}

// A 40 x 40 tile of shape s (0 opaque, 1 rounded corners, 2 holes, 3 a diamond, 4 a ring).
uint32_t tilePixel(int shape, int32_t x, int32_t y, int seed)
{
    uint32_t colour = uint32_t((x * 5 + seed * 40) & 0xFF) << 16 | uint32_t((y * 6 + seed * 17) & 0xFF) << 8 | 0x40;
    int dx = x - 20, dy = y - 20;
    switch (shape) {
    case 1:
        return dx * dx + dy * dy > 420 ? kKey : colour;
    case 2:
        return (x % 9 == 4 && y % 7 == 3) ? kKey : colour;
    case 3:
        return std::abs(dx) + std::abs(dy) > 18 ? kKey : colour;
    case 4:
        return (dx * dx + dy * dy > 380 || dx * dx + dy * dy < 100) ? kKey : colour;
    default:
        return colour;
    }
}

Bytes themeFile()
{
    std::vector<PictureEntry> entries;
    // Pass one: 16 floor tiles in one 640 x 40 picture; pass two: 16 objects, mostly see-through.
    for (int pass = 0; pass < 2; ++pass) {
        entries.push_back(PictureEntry::fromImage(pass ? "objects" : "tiles", picture24(640, 40, [&](int32_t x, int32_t y) {
            int k = x / 40;
            int shape = pass ? 1 + k % 4 : (k % 4 == 0 ? 1 : 0);
            return tilePixel(shape, x % 40, y, k + pass * 16);
        })));
        entries.back().patternWidth = entries.back().patternHeight = 40;
        entries.back().transparentColor = clFuchsia;
    }
    // 48 palette pictures of their own.
    for (int k = 0; k < 48; ++k) {
        entries.push_back(PictureEntry::fromImage("pal" + std::to_string(k), picture24(40, 40, [&](int32_t x, int32_t y) {
            // Few colours, so that the picture fits a palette.
            uint32_t p = tilePixel(k % 5, x, y, k);
            return p == kKey ? p : (p & 0xE0E0E0);
        }), {.bitCount = 8}));
        entries.back().transparentColor = clFuchsia;
    }
    // The background, and the panel with its see-through slot windows.
    entries.push_back(PictureEntry::fromImage("background", picture24(640, 480, [](int32_t x, int32_t y) {
        return uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF);
    })));
    entries.back().transparentColor = clFuchsia;
    entries.push_back(PictureEntry::fromImage("panel", picture24(121, 483, [](int32_t x, int32_t y) {
        bool slot = x >= 4 && x < 124 - 4 && (y % 44) >= 4 && (y % 44) < 40 && (x % 40) >= 2 && (x % 40) < 38;
        return slot ? kKey : 0x505A64u + uint32_t(y & 15);
    })));
    entries.back().transparentColor = clFuchsia;
    return writeGraphicsFile(entries);
}

// The editor's frame: level of 100 x 100 cells scrolled to its lower right corner (17 x 13 cells
// visible), two passes over every cell, the background under them, the palette and the panel.
struct Scene {
    explicit Scene(SurfacePixelFormat format) : target(format, 761, 483)
    {
        list.SetDXDraw(&target);
        target.Initialize();
        Bytes file = themeFile();
        list.Items().LoadFromStream(file.data(), file.size());
        tiles = &list.Items().Find("tiles");
        objects = &list.Items().Find("objects");
        background = &list.Items().Find("background");
        panel = &list.Items().Find("panel");
        for (int k = 0; k < 48; ++k)
            palette.push_back(&list.Items().Find("pal" + std::to_string(k)));
    }

    template <typename DrawFn>
    void compose(DrawFn draw)
    {
        TDirectDrawSurface &back = target.Surface();
        back.Fill(0);
        draw(*background, 0, 0, 0);
        const int32_t viewX = 100 * 40 - 640 - 20, viewY = 100 * 40 - 480 - 20;
        for (int pass = 0; pass < 2; ++pass)
            for (int32_t r = 0; r < 100; ++r)
                for (int32_t c = 0; c < 100; ++c)
                    draw(pass ? *objects : *tiles, c * 40 - viewX, r * 40 - viewY, (r * 7 + c * 3) % 16);
        for (int k = 0; k < 48; ++k)
            draw(*palette[size_t(k)], 640 + (k % 3) * 40, 4 + (k / 3) * 40, 0);
        draw(*panel, 640, 0, 0);
    }

    OffscreenDrawTarget target;
    TDXImageList list;
    const TPictureCollectionItem *tiles, *objects, *background, *panel;
    std::vector<const TPictureCollectionItem *> palette;
};

SurfacePixelFormat formatOf(const benchmark::State &state)
{
    return state.range(0) == 16 ? SurfacePixelFormat::Rgb565 : SurfacePixelFormat::Xrgb8888;
}

void BM_GraphicsFrame(benchmark::State &state)
{
    Scene scene(formatOf(state));
    TDirectDrawSurface &back = scene.target.Surface();
    auto draw = [&](const TPictureCollectionItem &item, int32_t x, int32_t y, int32_t i) { item.Draw(back, x, y, i); };
    scene.compose(draw);
    const uint64_t expected = qmbench::frameChecksum(back);
    for (auto _ : state) {
        scene.compose(draw);
        benchmark::ClobberMemory();
    }
    qmbench::checkFrame(state, qmbench::frameChecksum(back), expected);
}
BENCHMARK(BM_GraphicsFrame)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

// The same rectangles, each copied row by row without looking at the pixels. The rectangles are
// collected once beforehand, so the floor pays nothing for finding patterns.
void BM_GraphicsFloor(benchmark::State &state)
{
    Scene scene(formatOf(state));
    TDirectDrawSurface &back = scene.target.Surface();
    struct Copy {
        int32_t x, y;
        TRect rect;
        const TDirectDrawSurface *surface;
    };
    std::vector<Copy> copies;
    scene.compose([&](const TPictureCollectionItem &item, int32_t x, int32_t y, int32_t i) {
        TPictureCollectionItemPattern p = item.Pattern(i);
        copies.push_back({x, y, p.Rect, p.Surface});
    });
    auto floor = [&] {
        back.Fill(0);
        for (const Copy &c : copies)
            back.Draw(c.x, c.y, c.rect, c.surface, false);
    };
    floor();
    const uint64_t expected = qmbench::frameChecksum(back);
    for (auto _ : state) {
        floor();
        benchmark::ClobberMemory();
    }
    qmbench::checkFrame(state, qmbench::frameChecksum(back), expected);
}
BENCHMARK(BM_GraphicsFloor)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

void BM_ClippedDraw(benchmark::State &state)
{
    Scene scene(SurfacePixelFormat::Xrgb8888);
    TDirectDrawSurface &back = scene.target.Surface();
    int32_t x = -1000;
    for (auto _ : state) {
        scene.tiles->Draw(back, x, 100, 5);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_ClippedDraw);

template <typename Graphic>
void decode(benchmark::State &state, const Bytes &data)
{
    for (auto _ : state) {
        Graphic picture;
        ByteReader in(data.data(), data.size(), throwStreamReadError);
        picture.readData(in);
        benchmark::DoNotOptimize(picture.pixels().data()); // run-length data is decoded here
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void BM_DecodeDib24(benchmark::State &state) { decode<TDIB>(state, qmbench::dib24()); }
BENCHMARK(BM_DecodeDib24);

// The floor of decoding: the pixel bytes copied into a new buffer.
void BM_CopyPixelBytes24(benchmark::State &state)
{
    const Bytes &data = qmbench::dib24();
    const size_t pixelBytes = 840 * 80; // 280 pixels make 840 bytes a row, already a multiple of 4
    const uint8_t *pixels = data.data() + data.size() - pixelBytes;
    for (auto _ : state) {
        std::vector<uint8_t> copy(pixels, pixels + pixelBytes);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_CopyPixelBytes24);

void BM_DecodeRle8(benchmark::State &state) { decode<TDIB>(state, qmbench::dibRle8()); }
BENCHMARK(BM_DecodeRle8);

// The bitmap files that the SDL cases load with SDL_LoadBMP_RW, through our "TBitmap" reader.
void BM_DecodeBitmap24(benchmark::State &state) { decode<TBitmap>(state, qmbench::bitmap24()); }
BENCHMARK(BM_DecodeBitmap24)->Unit(benchmark::kMicrosecond);
void BM_DecodeBitmapRle8(benchmark::State &state) { decode<TBitmap>(state, qmbench::bitmapRle8()); }
BENCHMARK(BM_DecodeBitmapRle8)->Unit(benchmark::kMicrosecond);

} // namespace
