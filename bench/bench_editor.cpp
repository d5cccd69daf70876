// The editor's frame, side by side with its limits, on the fixed scene (scene.h):
//   the limits: memset and memcpy of the back buffer's bytes; the keyless floor, the frame's own
//   rectangles clipped and copied row by row with memcpy, no key test;
//   ours: drawframe on the worst case (a 100 x 100 level, 20,000 cell draws of which about 17 x 13 a
//   pass are visible) and on a 40 x 40 level; the 100 x 100 level and a 16 x 12 one in the same view;
//   the same frame with every picture's transparency off (through drawframe: what the frame costs
//   beyond its keyed copies); the frame's rectangles through our Draw (what finding the pictures
//   costs);
//   the 100 x 100 level in a 1920 x 1080 window at squares of 40, 20 and 10 pixels;
//   one 40 x 40 keyed tile drawn in cache (ns per pixel) and one draw clipped away (ns per call);
//   the 100 x 100 frame with recovery copies of a full levels file written beside it on their worker
//   thread, a new one queued every frame's worth of time (1/60 s) whenever the last one is done:
//   far more often than the editor writes them (at most every 30 s). Timed in real time, beside the
//   plain frame in real time, since the writes cost the frame only by taking its core or its memory;
//   and what taking a full file's bytes on the GUI thread costs, once a copy.
// Every composed frame's checksum is checked against our own frame's.

#include "scene.h"

#include "editor/recovery.h"
#include "levels/levelstore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

using namespace qm;
using namespace qmbench;

namespace {

size_t frameBytes(SurfacePixelFormat format) { return size_t(kFrameWidth) * kFrameHeight * size_t(bytesPerPixel(format)); }

void BM_Memset(benchmark::State &state)
{
    std::vector<uint8_t> frame(frameBytes(formatArg(state)), 1);
    for (auto _ : state) {
        std::memset(frame.data(), 0, frame.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.size()));
}

void BM_Memcpy(benchmark::State &state)
{
    std::vector<uint8_t> from(frameBytes(formatArg(state)), 7), frame(from.size());
    for (auto _ : state) {
        std::memcpy(frame.data(), from.data(), frame.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.size()));
}

// The memcpy of the back buffer of a 1920 x 1080 window: the floor that the large frame is judged
// against (its buffer no longer fits the caches that the first size's does).
void BM_MemcpyLarge(benchmark::State &state)
{
    MapArea area;
    area.controlWidth = 1920;
    area.controlHeight = 1080;
    std::vector<uint8_t> from(size_t(area.surfaceWidth()) * size_t(area.surfaceHeight()) * 4, 7), frame(from.size());
    for (auto _ : state) {
        std::memcpy(frame.data(), from.data(), frame.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.size()));
}

void ourFrame(benchmark::State &state, int size, bool keyed)
{
    GamePictures pictures(formatArg(state), keyed);
    prepareLevel(size);
    const uint64_t expected = referenceFrame(pictures);
    const double startX = viewx, startY = viewy;
    for (auto _ : state) {
        drawframe(1, pictures.back(), pictures.frame());
        benchmark::ClobberMemory();
    }
    if (viewx != startX || viewy != startY)
        state.SkipWithError("the view moved");
    checkFrame(state, frameChecksum(pictures.back()), expected);
}

void BM_EditorFrame100(benchmark::State &state) { ourFrame(state, 100, true); }

void BM_EditorFrame100WithRecovery(benchmark::State &state)
{
    static int argc = 1;
    static char name[] = "qmbench";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // the store reports its writes through the event loop

    prepareFullLevelsFile();
    std::array<int32_t, kOffsetCount> offsets{};
    const RecoverySnapshot copy{levelsFileBytes(offsets), "/home/designer/full.lev", 1, QDateTime::currentDateTime()};
    QTemporaryDir dir;
    RecoveryStore store([] { return std::optional<RecoverySnapshot>(); }, dir.path());
    int writes = 0;
    const auto frameTime = std::chrono::microseconds(16667);
    auto lastQueued = std::chrono::steady_clock::now() - frameTime;

    GamePictures pictures(formatArg(state), true);
    prepareLevel(100);
    const uint64_t expected = referenceFrame(pictures);
    for (auto _ : state) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastQueued >= frameTime && !store.writing()) {
            state.PauseTiming(); // taking the bytes is timed apart, in BM_RecoverySnapshot
            RecoverySnapshot next = copy;
            state.ResumeTiming();
            store.write(std::move(next));
            lastQueued = now;
            ++writes;
        }
        drawframe(1, pictures.back(), pictures.frame());
        benchmark::ClobberMemory();
    }
    store.waitForWrites();
    store.discardOwn();
    checkFrame(state, frameChecksum(pictures.back()), expected);
    state.counters["writes"] = writes;
    state.counters["MB_per_write"] = double(copy.levels.size()) / 1e6;
}

// What the GUI thread pays for one recovery copy of the full levels file: the writer's bytes.
void BM_RecoverySnapshot(benchmark::State &state)
{
    prepareFullLevelsFile();
    std::array<int32_t, kOffsetCount> offsets{};
    for (auto _ : state)
        benchmark::DoNotOptimize(levelsFileBytes(offsets));
}
void BM_EditorFrame40(benchmark::State &state) { ourFrame(state, 40, true); }

// The 100 x 100 level in a window of 1920 x 1080 (the control's size) with squares of 40, 20 and 10
// pixels: the frame costs what the pixels and squares shown cost, the tiles' smaller copies made once
// beforehand.
void BM_EditorFrameLarge(benchmark::State &state)
{
    GamePictures pictures(SurfacePixelFormat::Xrgb8888, true);
    maparea = MapArea{};
    setControlSize(1920, 1080);
    maparea.square = int32_t(state.range(0));
    pictures.target.setSurfaceSize(maparea.surfaceWidth(), maparea.surfaceHeight());
    prepareLevel(100);
    const uint64_t expected = referenceFrame(pictures);
    const double startX = viewx, startY = viewy;
    for (auto _ : state) {
        drawframe(1, pictures.back(), pictures.frame());
        benchmark::ClobberMemory();
    }
    if (viewx != startX || viewy != startY)
        state.SkipWithError("the view moved");
    checkFrame(state, frameChecksum(pictures.back()), expected);
    state.counters["pixels"] = double(pictures.back().Width()) * pictures.back().Height();
    maparea = MapArea{};
}

// The same view, (0, 0), of the 100 x 100 level and of its top-left 16 x 12 squares (a level that
// just fills the map): what the cells out of view cost.
void frameAtOrigin(benchmark::State &state, int width, int height)
{
    GamePictures pictures(formatArg(state), true);
    prepareLevel(100);
    levels[1].width = width;
    levels[1].height = height;
    viewx = viewy = 0;
    const uint64_t expected = referenceFrame(pictures);
    for (auto _ : state) {
        drawframe(1, pictures.back(), pictures.frame());
        benchmark::ClobberMemory();
    }
    if (viewx != 0 || viewy != 0)
        state.SkipWithError("the view moved");
    checkFrame(state, frameChecksum(pictures.back()), expected);
}
void BM_EditorFrameOrigin100(benchmark::State &state) { frameAtOrigin(state, 100, 100); }
void BM_EditorFrameOrigin16x12(benchmark::State &state) { frameAtOrigin(state, 16, 12); }
// Transparency off: the reference is this frame itself (it is a different picture).
void BM_EditorFrameFloor100(benchmark::State &state) { ourFrame(state, 100, false); }

// The frame's rectangles collected and clipped beforehand (the floor pays nothing for finding
// patterns or for the draws that miss the frame), each copied row by row without looking at the
// pixels: what any frame of these rectangles costs.
void BM_KeylessFloor100(benchmark::State &state)
{
    GamePictures pictures(formatArg(state), false);
    prepareLevel(100);
    const uint64_t expected = referenceFrame(pictures);
    std::vector<Blit> blits;
    for (Blit b : frameBlits(pictures.frame()))
        if (clipBlit(b, kFrameWidth, kFrameHeight))
            blits.push_back(b);
    TDirectDrawSurface &back = pictures.back();
    const int bpp = bytesPerPixel(back.pixelFormat());
    const ptrdiff_t pitch = back.pitch();
    uint8_t *bits = back.mutableBits();
    const size_t bytes = size_t(pitch) * size_t(back.Height());
    for (auto _ : state) {
        std::memset(bits, 0, bytes);
        for (const Blit &b : blits) {
            const ptrdiff_t srcPitch = b.surface->pitch();
            const uint8_t *src = b.surface->bits() + b.rect.top * srcPitch + ptrdiff_t(b.rect.left) * bpp;
            uint8_t *dest = bits + b.y * pitch + ptrdiff_t(b.x) * bpp;
            const size_t rowBytes = size_t(b.rect.width()) * size_t(bpp);
            for (int32_t row = b.rect.top; row < b.rect.bottom; ++row, src += srcPitch, dest += pitch)
                std::memcpy(dest, src, rowBytes);
        }
        benchmark::ClobberMemory();
    }
    checkFrame(state, frameChecksum(back), expected);
    state.counters["blits"] = double(blits.size());
}

// The same rectangles through our keyed Draw, without the frame's walk over the pictures.
void BM_FrameBlits100(benchmark::State &state)
{
    GamePictures pictures(formatArg(state));
    prepareLevel(100);
    const uint64_t expected = referenceFrame(pictures);
    const std::vector<Blit> blits = frameBlits(pictures.frame());
    TDirectDrawSurface &back = pictures.back();
    for (auto _ : state) {
        back.Fill(0);
        for (const Blit &b : blits)
            back.Draw(b.x, b.y, b.rect, b.surface, b.keyed);
        benchmark::ClobberMemory();
    }
    checkFrame(state, frameChecksum(back), expected);
}

// The keyed tile of the level's pictures whose key pixels come nearest a quarter of its pixels (so
// that it has both long runs and many edges), drawn again and again at one place in the frame.
int32_t mixedTile(const TPictureCollection &tiles)
{
    int32_t best = 12;
    double bestDistance = 2;
    for (int32_t t = 12; t < std::min<int32_t>(tiles.Count(), 69); ++t) {
        const TPictureCollectionItem &item = tiles.Items(t);
        if (!item.Transparent() || item.PatternCount() == 0)
            continue;
        TPictureCollectionItemPattern p = item.Pattern(0);
        if (p.Rect.width() != kSquare || p.Rect.height() != kSquare)
            continue;
        int keys = 0;
        for (int32_t y = p.Rect.top; y < p.Rect.bottom; ++y)
            for (int32_t x = p.Rect.left; x < p.Rect.right; ++x)
                keys += p.Surface->pixel(x, y) == p.Surface->ColorKey();
        const double distance = std::abs(keys / double(kSquare * kSquare) - 0.25);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = t;
        }
    }
    return best;
}

void BM_KeyedTile(benchmark::State &state)
{
    GamePictures pictures(formatArg(state));
    const int32_t tile = mixedTile(pictures.tiles.Items());
    const TPictureCollectionItem &item = pictures.tiles.Items().Items(tile);
    TDirectDrawSurface &back = pictures.back();
    back.Fill(0);
    item.Draw(back, 200, 200, 0);
    const uint64_t expected = frameChecksum(back);
    for (auto _ : state) {
        item.Draw(back, 200, 200, 0);
        benchmark::ClobberMemory();
    }
    checkFrame(state, frameChecksum(back), expected);
    state.counters["tile"] = tile;
    state.counters["ns_per_pixel"] =
        benchmark::Counter(double(state.iterations()) * kSquare * kSquare, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ClippedAwayDraw(benchmark::State &state)
{
    GamePictures pictures(SurfacePixelFormat::Xrgb8888);
    const TPictureCollectionItem &item = pictures.tiles.Items().Items(mixedTile(pictures.tiles.Items()));
    TDirectDrawSurface &back = pictures.back();
    int32_t x = -1000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        item.Draw(back, x, 100, 0);
    }
}

} // namespace

BENCHMARK(BM_Memset)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeylessFloor100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame100)->Name("BM_EditorFrame100/real")->ArgName("bits")->Arg(32)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame100WithRecovery)->ArgName("bits")->Arg(32)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorFrame40)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameLarge)->ArgName("square")->Arg(40)->Arg(20)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameOrigin100)->ArgName("bits")->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameOrigin16x12)->ArgName("bits")->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameFloor100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameBlits100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyedTile)->ArgName("bits")->Arg(32)->Arg(16);
BENCHMARK(BM_ClippedAwayDraw);
